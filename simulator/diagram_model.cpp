#include "diagram_model.h"

#include <algorithm>
#include <cmath>

#include "time_text.h"
#include "time_units.h"

namespace {

constexpr double kMostTicks = 20;

struct TimeAxis {
  double step_ns;
  const TimeUnit& unit;
};

// A step of 1, 2 or 5 times a power of ten giving about eight ticks, and the
// unit its labels read best in.
TimeAxis choose_axis(double total_ns) {
  const double raw = std::fmax(total_ns / 8, 1e-3);
  const double magnitude = std::pow(10, std::floor(std::log10(raw)));
  double step = magnitude;
  for (double factor : {1.0, 2.0, 5.0, 10.0}) {
    step = factor * magnitude;
    if (step >= raw) break;
  }
  return {step, largest_unit_in(step)};
}

// The lanes in the order every picture draws them.
const MarkerStyle kMarkerStyles[] = {
    {kLoopMarker, "loop", "#1f6fd0"}, {kCallMarker, "call", "#2a9d3a"}, {kReturnMarker, "return", "#7a4fc0"},
    {kWaitMarker, "wait", "#e08a00"}, {kStopMarker, "stop", "#000000"}, {kErrorMarker, "error", "#d00000"},
};

std::uint32_t saturating_sum(std::uint32_t a, std::uint32_t b) { return a + b < a ? UINT32_MAX : a + b; }

// Bins into columns: those that fall on one pixel are merged.
std::vector<DiagramColumn> make_columns(const DiagramSource& source, const PlotArea& plot) {
  std::vector<DiagramColumn> columns;
  std::uint32_t carried = source.carried_in;
  const double span = static_cast<double>(source.span);
  const bool error_shown =
      source.error_cycle && *source.error_cycle >= source.from && *source.error_cycle - source.from < source.span;
  const std::uint64_t error_offset = error_shown ? *source.error_cycle - source.from : 0;
  for (const TimedBin& timed : *source.bins) {
    DiagramBin bin = timed.bin;
    if (error_shown && timed.first <= error_offset && error_offset < timed.last) bin.markers |= kErrorMarker;
    bin.touch(carried);
    carried = bin.end_value;
    const double x0 = plot.left + static_cast<double>(timed.first) / span * plot.width;
    const double x1 = plot.left + static_cast<double>(timed.last) / span * plot.width;
    if (!columns.empty() && std::floor(x0) == std::floor(columns.back().x0) && x1 - columns.back().x0 < 1.5) {
      merge_into(columns.back().bin, bin);
      columns.back().x1 = x1;
      continue;
    }
    columns.push_back({x0, x1, bin});
  }
  return columns;
}

// The last of the neighbouring columns from `i` on that `holds`.
template <typename Holds>
std::size_t run_end(const std::vector<DiagramColumn>& columns, std::size_t i, Holds holds) {
  std::size_t last = i;
  while (last + 1 < columns.size() && holds(columns[last + 1].bin)) ++last;
  return last;
}

DiagramLane make_lane(const std::vector<DiagramColumn>& columns, const MarkerStyle& style) {
  DiagramLane lane{&style, {}};
  const auto marked = [&style](const DiagramBin& bin) { return (bin.markers & style.marker) != 0; };
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (!marked(columns[i].bin)) continue;
    const std::size_t last = run_end(columns, i, marked);
    lane.runs.push_back({columns[i].x0 - 1, std::fmax(columns[last].x1 - columns[i].x0, 2)});
    i = last;
  }
  return lane;
}

DiagramTrace make_trace(const std::vector<DiagramColumn>& columns, int bit, std::string label) {
  const std::uint32_t mask = std::uint32_t{1} << bit;
  DiagramTrace trace{bit, std::move(label), (columns.front().bin.start_value & mask) != 0, {}};
  const auto dense = [mask](const DiagramBin& bin) { return (bin.changed_twice & mask) != 0; };
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const DiagramBin& bin = columns[i].bin;
    if (dense(bin)) {
      // Neighbouring columns of many changes make one band.
      const std::size_t last = run_end(columns, i, dense);
      trace.pieces.push_back(
          {TracePiece::Band, columns[i].x0, columns[last].x1, (columns[last].bin.end_value & mask) != 0});
      i = last;
    } else if ((bin.changed_once & mask) != 0) {
      trace.pieces.push_back({TracePiece::Edge, columns[i].x0, columns[i].x0, (bin.end_value & mask) != 0});
    }
  }
  return trace;
}

// Faint lines where instructions start, while they stand apart enough to
// be told from one another.
std::vector<double> make_boundaries(const std::vector<DiagramColumn>& columns, const PlotArea& plot) {
  std::vector<double> lines;
  for (const DiagramColumn& column : columns)
    if (column.bin.boundaries > 0) lines.push_back(column.x0);
  if (static_cast<double>(lines.size()) > std::floor(plot.width / 4)) lines.clear();
  return lines;
}

// Ticks at round times between the span's start and end. About eight; the
// count is bounded whatever the span, so that a span no tick can measure
// gives a bare axis rather than endless ticks.
std::vector<DiagramTick> make_ticks(double start_ns, double end_ns, const PlotArea& plot) {
  std::vector<DiagramTick> ticks;
  const double total_ns = end_ns - start_ns;
  const TimeAxis axis = choose_axis(total_ns);
  const double first = std::ceil(start_ns / axis.step_ns * (1 - 1e-12));
  const double count = std::floor(end_ns * (1 + 1e-9) / axis.step_ns) - first;
  const int last_tick = count >= 0 && count <= kMostTicks ? static_cast<int>(count) : -1;
  for (int tick = 0; tick <= last_tick; ++tick) {
    const double t = (first + tick) * axis.step_ns;
    const double x = plot.left + (total_ns > 0 ? (t - start_ns) / total_ns * plot.width : 0);
    ticks.push_back({x, short_number(t / axis.unit.nanoseconds, 3) + " " + std::string(axis.unit.symbol)});
  }
  return ticks;
}

}  // namespace

std::uint8_t step_markers(const Step& step) {
  switch (static_cast<Opcode>(step.opcode)) {
    case Opcode::EndLoop:
      return step.jumps_back ? kLoopMarker : 0;
    case Opcode::Jsr:
      return kCallMarker;
    case Opcode::Rts:
      return kReturnMarker;
    case Opcode::Wait:
      return kWaitMarker;
    case Opcode::Stop:
      return kStopMarker;
    default:
      return 0;
  }
}

// A step is a stretch of its own, one instruction long, that follows the
// bin's.
void record_step(DiagramBin& bin, std::uint32_t outputs, std::uint8_t markers) {
  const std::uint32_t changed = bin.end_value ^ outputs;
  const std::uint32_t changes = changed != 0 ? 1 : 0;
  merge_into(bin, DiagramBin{bin.end_value, outputs, changed, 0, 1, changes, markers, true});
}

void merge_into(DiagramBin& earlier, const DiagramBin& later) {
  if (!later.touched) return;
  if (!earlier.touched) {
    earlier = later;
    return;
  }
  earlier.changed_twice |= later.changed_twice | (earlier.changed_once & later.changed_once);
  earlier.changed_once |= later.changed_once;
  earlier.end_value = later.end_value;
  earlier.boundaries = saturating_sum(earlier.boundaries, later.boundaries);
  earlier.changes = saturating_sum(earlier.changes, later.changes);
  earlier.markers |= later.markers;
}

void CoarseningBins::record(std::uint64_t cycle, std::uint32_t new_outputs, std::uint8_t markers) {
  record_step(at(cycle), new_outputs, markers);
  ever_changed |= outputs ^ new_outputs;
  ever_marked |= markers;
  outputs = new_outputs;
}

DiagramBin& CoarseningBins::at(std::uint64_t cycle) {
  cover(cycle);
  DiagramBin& bin = bins_[cycle >> shift_];
  bin.touch(outputs);
  return bin;
}

void CoarseningBins::cover(std::uint64_t cycle) {
  for (; (cycle >> shift_) >= bins_.size(); ++shift_) {
    const std::size_t half = bins_.size() / 2;
    for (std::size_t i = 0; i < half; ++i) {
      DiagramBin merged = bins_[2 * i];
      merge_into(merged, bins_[2 * i + 1]);
      bins_[i] = merged;
    }
    std::fill(bins_.begin() + static_cast<std::ptrdiff_t>(half), bins_.end(), DiagramBin{});
  }
}

const DiagramColumn* DiagramModel::column_at(double x) const {
  const auto after = std::upper_bound(columns.begin(), columns.end(), x,
                                      [](double at, const DiagramColumn& column) { return at < column.x0; });
  if (after == columns.begin()) return nullptr;
  const DiagramColumn& column = *(after - 1);
  return x < column.x1 || (after == columns.end() && x <= column.x1) ? &column : nullptr;
}

std::optional<std::uint64_t> error_mark(const RunEnd& end, const CycleWindow& window) {
  if (end.reason != EndReason::Error || end.cycle > window.to) return std::nullopt;
  return std::max(end.cycle, window.from + 1) - 1;
}

DiagramModel build_diagram(const DiagramSource& source, const PlotArea& plot) {
  DiagramModel model;
  model.plot = plot;
  model.columns = make_columns(source, plot);
  const std::uint8_t ever_marked = source.ever_marked | (source.error_cycle ? kErrorMarker : 0);
  for (const MarkerStyle& style : kMarkerStyles)
    if ((ever_marked & style.marker) != 0) model.lanes.push_back(make_lane(model.columns, style));
  static const OutputLabels kUnnamed;
  const OutputLabels& labels = source.labels ? *source.labels : kUnnamed;
  if (!model.columns.empty())
    for (int bit = 0; bit < kOutputCount; ++bit)
      if ((source.ever_changed >> bit & 1) != 0)
        model.traces.push_back(make_trace(model.columns, bit, labels.label(bit)));
  model.plot_top = kDiagramTitleHeight + static_cast<double>(model.lanes.size()) * kDiagramLaneHeight;
  model.axis_top = model.plot_top + static_cast<double>(model.traces.size()) * kDiagramRowHeight + 6;
  model.height = model.axis_top + kDiagramAxisHeight;
  model.boundaries = make_boundaries(model.columns, plot);
  const double start_ns = cycle_time_ns(source.from, source.clock_mhz);
  const double end_ns = cycle_time_ns(source.from + source.span, source.clock_mhz);
  model.ticks = make_ticks(start_ns, end_ns, plot);
  model.span_label = (source.from > 0 ? time_text(start_ns) + " to " : "") + time_text(end_ns);
  return model;
}

DiagramView DiagramView::whole(std::uint64_t total) {
  const std::uint64_t cycles = std::max<std::uint64_t>(total, 1);
  return {cycles, 0, cycles};
}

std::uint64_t DiagramView::cycle_at(double x, double plot_width) const {
  const double fraction = std::clamp(x / plot_width, 0.0, 1.0);
  const auto offset = static_cast<std::uint64_t>(std::floor(fraction * static_cast<double>(span())));
  return std::min(from + offset, to - 1);
}

double DiagramView::x_of(std::uint64_t cycle, double plot_width) const {
  return (static_cast<double>(cycle) - static_cast<double>(from)) / static_cast<double>(span()) * plot_width;
}

void DiagramView::zoom(double factor, double x, double plot_width) {
  const double fraction = std::clamp(x / plot_width, 0.0, 1.0);
  const double anchor = static_cast<double>(from) + fraction * static_cast<double>(span());
  const double narrowest = static_cast<double>(std::min(total, kNarrowestSpan));
  const double width =
      std::clamp(std::round(static_cast<double>(span()) * factor), narrowest, static_cast<double>(total));
  const double start = std::clamp(std::round(anchor - fraction * width), 0.0, static_cast<double>(total) - width);
  from = static_cast<std::uint64_t>(start);
  to = from + static_cast<std::uint64_t>(width);
}

void DiagramView::pan(std::int64_t cycles) {
  const std::uint64_t width = span();
  const std::uint64_t latest = total - width;
  if (cycles < 0) {
    const std::uint64_t back = static_cast<std::uint64_t>(-(cycles + 1)) + 1;
    from = back > from ? 0 : from - back;
  } else {
    from = std::min(latest, from + static_cast<std::uint64_t>(cycles));
  }
  to = from + width;
}
