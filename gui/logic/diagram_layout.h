// How the timing view lays out and keeps its diagram: which span a new run
// is shown at, how the rows share the window's height, and the rows of the
// outputs that never change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "diagram_model.h"
#include "output_labels.h"

// Why the view runs its program again.
enum class RerunCause {
  Document,  // another program: File > Open, File > New, a new clock
  Refresh,   // the same program again: F5, typing, the run's settings
};

// The span a new run of `total` cycles is shown at, after `shown`: the whole
// run for another document; for the same one, the zoom kept only when the
// run's length is what it was.
DiagramView span_after_run(const DiagramView& shown, std::uint64_t total, RerunCause cause);

// The rows of a diagram `height` pixels high: the marker lanes keep their
// height and the output rows share what the title, lanes and axis leave,
// each between kSmallestRow and kLargestRow pixels.
struct DiagramRows {
  double plot_top = 0;  // the first output row's top
  double row_height = kDiagramRowHeight;
  double axis_top = 0;
  double high(double row_top) const { return row_top + row_height * kDiagramTraceHigh / kDiagramRowHeight; }
  double low(double row_top) const { return row_top + row_height * kDiagramTraceLow / kDiagramRowHeight; }
};
constexpr double kSmallestRow = 12;
constexpr double kLargestRow = 64;
DiagramRows share_height(double height, std::size_t lanes, std::size_t traces);

// The output row at `y`, counted from the first; none off the rows.
std::optional<std::size_t> row_at(const DiagramRows& rows, std::size_t traces, double y);

// Adds a level trace for every output the model has none for, in output
// order, labelled as `labels` name them: those never change, so they stay
// low all run.
void add_unchanging_traces(DiagramModel& model, const OutputLabels& labels);
