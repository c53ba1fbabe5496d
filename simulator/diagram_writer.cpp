#include "diagram_writer.h"

#include <cmath>
#include <string>

#include "text_output.h"
#include "time_text.h"

namespace {

using Bin = DiagramWriter::Bin;

// Page layout, in pixels.
constexpr double kLeft = 72;      // bit and lane names
constexpr double kPlotWidth = 960;
constexpr double kRight = 24;
constexpr double kTitleHeight = 28;
constexpr double kLaneHeight = 14;  // one marker lane
constexpr double kRowHeight = 22;   // one output bit
constexpr double kTraceHigh = 4;    // offsets of the trace levels in a row
constexpr double kTraceLow = 16;
constexpr double kAxisHeight = 36;
constexpr double kMostTicks = 20;

struct MarkerStyle {
  std::uint8_t marker;
  const char* name;
  const char* colour;
};

constexpr MarkerStyle kMarkerStyles[] = {
    {DiagramWriter::kLoopMarker, "loop", "#1f6fd0"},  {DiagramWriter::kCallMarker, "call", "#2a9d3a"},
    {DiagramWriter::kReturnMarker, "return", "#7a4fc0"}, {DiagramWriter::kWaitMarker, "wait", "#e08a00"},
    {DiagramWriter::kStopMarker, "stop", "#000000"},  {DiagramWriter::kErrorMarker, "error", "#d00000"},
};

std::uint8_t step_markers(const Step& step) {
  switch (static_cast<Opcode>(step.opcode)) {
    case Opcode::EndLoop:
      return step.jumps_back ? DiagramWriter::kLoopMarker : 0;
    case Opcode::Jsr:
      return DiagramWriter::kCallMarker;
    case Opcode::Rts:
      return DiagramWriter::kReturnMarker;
    case Opcode::Wait:
      return DiagramWriter::kWaitMarker;
    case Opcode::Stop:
      return DiagramWriter::kStopMarker;
    default:
      return 0;
  }
}

// `later` follows `earlier` directly in time.
void merge_into(Bin& earlier, const Bin& later) {
  if (!later.touched) return;
  if (!earlier.touched) {
    earlier = later;
    return;
  }
  earlier.changed_twice |= later.changed_twice | (earlier.changed_once & later.changed_once);
  earlier.changed_once |= later.changed_once;
  earlier.end_value = later.end_value;
  earlier.boundaries = earlier.boundaries + later.boundaries < earlier.boundaries ? UINT32_MAX
                                                                                  : earlier.boundaries + later.boundaries;
  earlier.markers |= later.markers;
}

// One pixel column (or, for a short run, one bin wider than a pixel).
struct Column {
  double x0;
  double x1;
  Bin bin;
};

std::string coordinate(double value) { return short_number(value, 1); }

// Text as SVG holds it: a file name may contain '<' or '&'.
std::string xml_text(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    if (c == '<') escaped += "&lt;";
    else if (c == '>') escaped += "&gt;";
    else if (c == '&') escaped += "&amp;";
    else escaped += c;
  }
  return escaped;
}

struct TimeAxis {
  double step_ns;
  double unit_ns;
  const char* unit;
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
  if (step >= 1e9) return {step, 1e9, "s"};
  if (step >= 1e6) return {step, 1e6, "ms"};
  if (step >= 1e3) return {step, 1e3, "\xC2\xB5s"};
  return {step, 1, "ns"};
}

class DiagramText {
 public:
  DiagramText(TextOutput& out, const std::vector<Column>& columns, double plot_top)
      : out_(out), columns_(columns), plot_top_(plot_top) {}

  void marker_lane(const MarkerStyle& style, double top) {
    put_label(style.name, top + kLaneHeight - 3);
    out_.put("<path fill=\"");
    out_.put(style.colour);
    out_.put("\" d=\"");
    for (size_t i = 0; i < columns_.size(); ++i) {
      if ((columns_[i].bin.markers & style.marker) == 0) continue;
      size_t last = i;
      while (last + 1 < columns_.size() && (columns_[last + 1].bin.markers & style.marker) != 0) ++last;
      const double x0 = columns_[i].x0;
      const double width = std::fmax(columns_[last].x1 - x0, 2);
      put_rect(x0 - 1, top + 2, width, kLaneHeight - 4);
      i = last;
    }
    out_.put("\"/>\n");
  }

  void trace(int bit, double top) {
    put_label("out" + std::to_string(bit), top + kTraceLow);
    const std::uint32_t mask = std::uint32_t{1} << bit;
    auto level = [&](std::uint32_t value) { return top + ((value & mask) != 0 ? kTraceHigh : kTraceLow); };
    std::string line = "M" + coordinate(columns_.front().x0) + " " + coordinate(level(columns_.front().bin.start_value));
    std::string bands;
    for (size_t i = 0; i < columns_.size(); ++i) {
      const Bin& bin = columns_[i].bin;
      if ((bin.changed_twice & mask) != 0) {
        // Neighbouring columns of many changes make one band.
        size_t last = i;
        while (last + 1 < columns_.size() && (columns_[last + 1].bin.changed_twice & mask) != 0) ++last;
        const double x0 = columns_[i].x0;
        const double x1 = columns_[last].x1;
        line += "H" + coordinate(x0) + "M" + coordinate(x1) + " " + coordinate(level(columns_[last].bin.end_value));
        bands += "M" + coordinate(x0) + " " + coordinate(top + kTraceHigh) + "H" + coordinate(x1) + "V" +
                 coordinate(top + kTraceLow) + "H" + coordinate(x0) + "Z";
        i = last;
      } else if ((bin.changed_once & mask) != 0) {
        line += "H" + coordinate(columns_[i].x0) + "V" + coordinate(level(bin.end_value));
      }
    }
    line += "H" + coordinate(columns_.back().x1);
    out_.put("<path fill=\"none\" stroke=\"#202020\" stroke-width=\"1.2\" d=\"");
    out_.put(line);
    out_.put("\"/>\n");
    if (bands.empty()) return;
    out_.put("<path fill=\"#606060\" d=\"");
    out_.put(bands);
    out_.put("\"/>\n");
  }

  // Faint lines where instructions start, while they stand apart enough to
  // be told from one another.
  void boundaries(double bottom) {
    size_t marked = 0;
    for (const Column& column : columns_) marked += column.bin.boundaries > 0 ? 1 : 0;
    if (marked == 0 || marked > static_cast<size_t>(kPlotWidth / 4)) return;
    out_.put("<path stroke=\"#c8d4e8\" stroke-width=\"1\" d=\"");
    for (const Column& column : columns_) {
      if (column.bin.boundaries == 0) continue;
      out_.put("M" + coordinate(column.x0) + " " + coordinate(plot_top_) + "V" + coordinate(bottom));
    }
    out_.put("\"/>\n");
  }

  // Ticks at round times between the window's start and end.
  void axis(double top, double start_ns, double end_ns) {
    out_.put("<path stroke=\"#000\" d=\"M" + coordinate(kLeft) + " " + coordinate(top) + "H" +
             coordinate(kLeft + kPlotWidth) + "\"/>\n");
    const double total_ns = end_ns - start_ns;
    const TimeAxis axis = choose_axis(total_ns);
    // About eight ticks; the count is bounded whatever the span, so that a
    // span no tick can measure gives a bare axis rather than endless ticks.
    const double first = std::ceil(start_ns / axis.step_ns * (1 - 1e-12));
    const double ticks = std::floor(end_ns * (1 + 1e-9) / axis.step_ns) - first;
    const int last_tick = ticks >= 0 && ticks <= kMostTicks ? static_cast<int>(ticks) : -1;
    for (int tick = 0; tick <= last_tick; ++tick) {
      const double t = (first + tick) * axis.step_ns;
      const double x = kLeft + (total_ns > 0 ? (t - start_ns) / total_ns * kPlotWidth : 0);
      out_.put("<path stroke=\"#000\" d=\"M" + coordinate(x) + " " + coordinate(top) + "v5\"/>");
      out_.put("<text x=\"" + coordinate(x) + "\" y=\"" + coordinate(top + 18) + "\" text-anchor=\"middle\">" +
               short_number(t / axis.unit_ns, 3) + " " + axis.unit + "</text>\n");
    }
  }

  void put_label(const std::string& text, double baseline) {
    out_.put("<text x=\"" + coordinate(kLeft - 8) + "\" y=\"" + coordinate(baseline) + "\" text-anchor=\"end\">" +
             text + "</text>\n");
  }

 private:
  void put_rect(double x, double y, double width, double height) {
    out_.put("M" + coordinate(x) + " " + coordinate(y) + "h" + coordinate(width) + "v" + coordinate(height) + "h" +
             coordinate(-width) + "z");
  }

  TextOutput& out_;
  const std::vector<Column>& columns_;
  double plot_top_;
};

}  // namespace

DiagramWriter::DiagramWriter(double clock_mhz, std::string name, CycleWindow window)
    : clock_mhz_(clock_mhz), name_(std::move(name)), window_(window) {}

DiagramWriter::Bin& DiagramWriter::bin_at(std::uint64_t cycle) {
  while ((cycle >> shift_) >= kBinCount) coarsen();
  Bin& bin = bins_[cycle >> shift_];
  if (!bin.touched) {
    bin.touched = true;
    bin.start_value = bin.end_value = outputs_;
  }
  return bin;
}

void DiagramWriter::coarsen() {
  for (std::size_t i = 0; i < kBinCount / 2; ++i) {
    Bin merged = bins_[2 * i];
    merge_into(merged, bins_[2 * i + 1]);
    bins_[i] = merged;
  }
  for (std::size_t i = kBinCount / 2; i < kBinCount; ++i) bins_[i] = Bin{};
  ++shift_;
}

void DiagramWriter::step(const Step& step) {
  if (step.cycle >= window_.to) return;
  if (step.cycle < window_.from) {
    outputs_ = step.outputs;
    return;
  }
  Bin& bin = bin_at(step.cycle - window_.from);
  const std::uint32_t changed = bin.end_value ^ step.outputs;
  bin.changed_twice |= bin.changed_once & changed;
  bin.changed_once |= changed;
  bin.end_value = step.outputs;
  if (bin.boundaries != UINT32_MAX) ++bin.boundaries;
  bin.markers |= step_markers(step);
  ever_changed_ |= changed;
  ever_marked_ |= step_markers(step);
  outputs_ = step.outputs;
  ++steps_;
}

bool DiagramWriter::write(std::FILE* file, const RunEnd& end) {
  const std::uint64_t last = window_.clip(end.cycle);
  const std::uint64_t shown = last > window_.from ? last - window_.from : 0;
  const std::uint64_t span = shown > 0 ? shown : 1;
  if (end.reason == EndReason::Error && end.cycle == last) {
    bin_at(span - 1).markers |= kErrorMarker;
    ever_marked_ |= kErrorMarker;
  }
  while (((span - 1) >> shift_) >= kBinCount) coarsen();

  // Bins into columns: those that fall on one pixel are merged.
  std::vector<Column> columns;
  std::uint32_t carried = 0;
  const std::uint64_t used_bins = ((span - 1) >> shift_) + 1;
  for (std::uint64_t i = 0; i < used_bins; ++i) {
    Bin bin = bins_[i];
    if (!bin.touched) bin.start_value = bin.end_value = carried;
    carried = bin.end_value;
    const std::uint64_t first = i << shift_;
    const std::uint64_t last = std::min(span, (i + 1) << shift_);
    const double x0 = kLeft + static_cast<double>(first) / static_cast<double>(span) * kPlotWidth;
    const double x1 = kLeft + static_cast<double>(last) / static_cast<double>(span) * kPlotWidth;
    if (!columns.empty() && std::floor(x0) == std::floor(columns.back().x0) && x1 - columns.back().x0 < 1.5) {
      bin.touched = true;
      merge_into(columns.back().bin, bin);
      columns.back().x1 = x1;
      continue;
    }
    bin.touched = true;
    columns.push_back({x0, x1, bin});
  }

  std::vector<int> bits;
  for (int bit = 0; bit < kOutputCount; ++bit)
    if ((ever_changed_ >> bit & 1) != 0) bits.push_back(bit);
  std::vector<const MarkerStyle*> lanes;
  for (const MarkerStyle& style : kMarkerStyles)
    if ((ever_marked_ & style.marker) != 0) lanes.push_back(&style);

  const double plot_top = kTitleHeight + static_cast<double>(lanes.size()) * kLaneHeight;
  const double axis_top = plot_top + static_cast<double>(bits.size()) * kRowHeight + 6;
  const double width = kLeft + kPlotWidth + kRight;
  const double height = axis_top + kAxisHeight;
  const double start_ns = cycle_time_ns(window_.from, clock_mhz_);
  const double end_ns = cycle_time_ns(window_.from + span, clock_mhz_);

  TextOutput out(file);
  out.put("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
          coordinate(width) + "\" height=\"" + coordinate(height) + "\" viewBox=\"0 0 " + coordinate(width) + " " +
          coordinate(height) + "\" font-family=\"sans-serif\" font-size=\"11\">\n");
  out.put("<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n");
  out.put("<text x=\"" + coordinate(kLeft) + "\" y=\"18\" font-size=\"13\">" + xml_text(name_) + " at " +
          short_number(clock_mhz_, 6) + " MHz: " + std::to_string(steps_) + " instructions in " +
          time_text(cycle_time_ns(end.cycle, clock_mhz_)) + "; ended: " + std::string(end_reason_text(end.reason)) +
          " at cycle " + std::to_string(end.cycle) + "</text>\n");
  DiagramText text(out, columns, plot_top);
  text.boundaries(axis_top - 6);
  double top = kTitleHeight;
  for (const MarkerStyle* style : lanes) {
    text.marker_lane(*style, top);
    top += kLaneHeight;
  }
  for (int bit : bits) {
    text.trace(bit, top);
    top += kRowHeight;
  }
  text.axis(axis_top, start_ns, end_ns);
  out.put("</svg>\n");
  return out.flush();
}
