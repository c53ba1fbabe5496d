// The timing diagram as shapes, before any picture is made of it: a time
// span mapped onto pixel columns, the marker lanes, one trace per output bit
// that changes, the instruction boundaries and the time axis' ticks. The
// SVG that cdmsim writes and the timing view cdmgui paints are both drawn
// from it, so the two pictures cannot tell different stories.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "output_labels.h"
#include "simulation.h"

// What happened within one stretch of time.
struct DiagramBin {
  std::uint32_t start_value = 0;    // outputs as the stretch begins
  std::uint32_t end_value = 0;      // and as it ends
  std::uint32_t changed_once = 0;   // bits that changed at least once
  std::uint32_t changed_twice = 0;  // bits that changed at least twice
  std::uint32_t boundaries = 0;     // instructions that started
  std::uint32_t changes = 0;        // instructions that changed the outputs
  std::uint8_t markers = 0;
  bool touched = false;

  // An untouched bin starts, and so far ends, at `outputs`.
  void touch(std::uint32_t outputs) {
    if (touched) return;
    touched = true;
    start_value = end_value = outputs;
  }
};

enum DiagramMarker : std::uint8_t {
  kLoopMarker = 1,
  kCallMarker = 2,
  kReturnMarker = 4,
  kWaitMarker = 8,
  kStopMarker = 16,
  kErrorMarker = 32,
};

struct MarkerStyle {
  std::uint8_t marker;
  const char* name;
  const char* colour;
};

// The colours of every picture of the diagram besides its lanes', as SVG
// writes them: "#rgb" or "#rrggbb".
constexpr char kDiagramBackground[] = "#fff";
constexpr char kDiagramTraceColour[] = "#202020";  // a band of many changes too
constexpr char kDiagramBoundaryColour[] = "#c8d4e8";
constexpr char kDiagramAxisColour[] = "#000";

// The markers a step sets: a loop going round, a call, a return, a wait, the
// stop.
std::uint8_t step_markers(const Step& step);

// Counts a step that leaves the outputs at `outputs` into `bin`, which holds
// the stretch the step starts in.
void record_step(DiagramBin& bin, std::uint32_t outputs, std::uint8_t markers);

// `later` follows `earlier` directly in time.
void merge_into(DiagramBin& earlier, const DiagramBin& later);

// A run's steps gathered into a fixed number of bins from cycle 0 on, each
// 2^shift() cycles long. When a step falls past the last bin, neighbouring
// bins merge in pairs and each spans twice as long, so a run of any length
// takes the same memory.
class CoarseningBins {
 public:
  explicit CoarseningBins(std::size_t count) : bins_(count) {}

  // Counts a step starting at `cycle` that leaves the outputs at `new_outputs`.
  void record(std::uint64_t cycle, std::uint32_t new_outputs, std::uint8_t markers);
  // The bin holding `cycle`, touched with the outputs as they stand.
  DiagramBin& at(std::uint64_t cycle);
  // Coarsens until a bin holds `cycle`.
  void cover(std::uint64_t cycle);

  const std::vector<DiagramBin>& bins() const { return bins_; }
  unsigned shift() const { return shift_; }

  std::uint32_t outputs = 0;  // as the latest step left them
  std::uint32_t ever_changed = 0;
  std::uint8_t ever_marked = 0;

 private:
  std::vector<DiagramBin> bins_;
  unsigned shift_ = 0;
};

// A bin with its stretch, in cycles from the diagram's start.
struct TimedBin {
  std::uint64_t first = 0;
  std::uint64_t last = 0;  // not included
  DiagramBin bin;
};

// Where a diagram stands: the plot's left edge and width in pixels.
struct PlotArea {
  double left = 72;
  double width = 960;
};

// Page layout shared by every picture, in pixels.
constexpr double kDiagramTitleHeight = 28;
constexpr double kDiagramLaneHeight = 14;  // one marker lane
constexpr double kDiagramRowHeight = 22;   // one output bit
constexpr double kDiagramTraceHigh = 4;    // offsets of the trace levels in a row
constexpr double kDiagramTraceLow = 16;
constexpr double kDiagramAxisHeight = 36;

// One pixel column (or, for a short span, one bin wider than a pixel).
struct DiagramColumn {
  double x0;
  double x1;
  DiagramBin bin;
};

// A trace's shape: a level that starts at the plot's left edge, then edges
// and bands of many changes, left to right.
struct TracePiece {
  enum Kind { Edge, Band } kind;
  double x0;        // an edge's place, a band's left side
  double x1;        // a band's right side
  bool high_after;  // the level after the edge or band
};

struct DiagramTrace {
  int bit;
  std::string label;  // the output's name, or out<bit>
  bool starts_high;
  std::vector<TracePiece> pieces;
};

struct LaneRun {
  double x;
  double width;
};

struct DiagramLane {
  const MarkerStyle* style;
  std::vector<LaneRun> runs;
};

struct DiagramTick {
  double x;
  std::string label;  // "500 ns", "1.5 µs"
};

struct DiagramModel {
  PlotArea plot;
  double plot_top = 0;  // below the title and the lanes
  double axis_top = 0;  // below the traces
  double height = 0;    // the whole picture's
  std::vector<DiagramColumn> columns;
  std::vector<DiagramLane> lanes;
  std::vector<DiagramTrace> traces;
  std::vector<double> boundaries;  // none when they stand too close to tell apart
  std::vector<DiagramTick> ticks;
  // Below the ticks at the axis' right end, in the words of the title and
  // cdmsim's end line: the span's end ("1.8us"), or its start and end
  // ("2us to 5us") when it starts later than 0.
  std::string span_label;

  // The column under `x`; null left or right of the plot.
  const DiagramColumn* column_at(double x) const;
};

// What the diagram shows: `span` cycles from cycle `from` on at `clock_mhz`,
// in `bins` ordered by time (their untouched stretches carry `carried_in`
// forward); lanes for the markers in `ever_marked` and traces for the bits
// in `ever_changed`, labelled as `labels` name them, which cover the whole run, so that zooming in keeps
// every row in place. A run that an error ended has an error lane, and the
// error marked at `error_cycle` when the span holds it.
struct DiagramSource {
  const std::vector<TimedBin>* bins = nullptr;
  std::uint64_t from = 0;
  std::uint64_t span = 1;
  double clock_mhz = 100;
  std::uint32_t carried_in = 0;
  std::uint32_t ever_changed = 0;
  std::uint8_t ever_marked = 0;
  std::optional<std::uint64_t> error_cycle;
  const OutputLabels* labels = nullptr;  // none: every trace is out<bit>
};

// Where a diagram of `window` marks the error that ended a run at `end`:
// the last cycle it shows; none for a run that ended otherwise, or past it.
std::optional<std::uint64_t> error_mark(const RunEnd& end, const CycleWindow& window);

DiagramModel build_diagram(const DiagramSource& source, const PlotArea& plot);

// The part of a run a picture shows, in cycles: zoomed and panned within
// the run's `total` cycles, mapped onto a plot `plot_width` pixels wide.
struct DiagramView {
  std::uint64_t total = 1;
  std::uint64_t from = 0;
  std::uint64_t to = 1;

  static DiagramView whole(std::uint64_t total);
  std::uint64_t span() const { return to - from; }
  // The cycle drawn `x` pixels into the plot (clamped to the view).
  std::uint64_t cycle_at(double x, double plot_width) const;
  // Where `cycle` is drawn, in pixels into the plot.
  double x_of(std::uint64_t cycle, double plot_width) const;
  // Narrows (factor < 1) or widens the span, keeping the cycle under `x`
  // where it is; never narrower than a few cycles nor wider than the run.
  void zoom(double factor, double x, double plot_width);
  // Moves the view by `cycles` (negative: back in time), within the run.
  void pan(std::int64_t cycles);
};

// The narrowest span a view zooms to.
constexpr std::uint64_t kNarrowestSpan = 8;
