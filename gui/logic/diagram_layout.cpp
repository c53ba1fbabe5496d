#include "diagram_layout.h"

#include <algorithm>
#include <cmath>

#include "instruction.h"

DiagramView span_after_run(const DiagramView& shown, std::uint64_t total, RerunCause cause) {
  const DiagramView whole = DiagramView::whole(total);
  if (cause == RerunCause::Document || shown.total != whole.total) return whole;
  return shown;
}

DiagramRows share_height(double height, std::size_t lanes, std::size_t traces) {
  DiagramRows rows;
  rows.plot_top = kDiagramTitleHeight + static_cast<double>(lanes) * kDiagramLaneHeight;
  const double room = height - rows.plot_top - kDiagramAxisHeight - 6;
  if (traces > 0)
    rows.row_height = std::clamp(std::floor(room / static_cast<double>(traces)), kSmallestRow, kLargestRow);
  rows.axis_top = rows.plot_top + static_cast<double>(traces) * rows.row_height + 6;
  return rows;
}

std::optional<std::size_t> row_at(const DiagramRows& rows, std::size_t traces, double y) {
  if (y < rows.plot_top) return std::nullopt;
  const auto row = static_cast<std::size_t>((y - rows.plot_top) / rows.row_height);
  if (row >= traces) return std::nullopt;
  return row;
}

void add_unchanging_traces(DiagramModel& model, const OutputLabels& labels) {
  if (model.columns.empty()) return;
  std::vector<DiagramTrace> traces;
  auto changing = model.traces.begin();
  for (int bit = 0; bit < kOutputCount; ++bit) {
    if (changing != model.traces.end() && changing->bit == bit) traces.push_back(std::move(*changing++));
    else traces.push_back({bit, labels.label(bit), false, {}});
  }
  model.traces = std::move(traces);
}
