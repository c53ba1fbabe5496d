#include "diagram_writer.h"

#include <string>

#include "text_output.h"
#include "time_text.h"

namespace {

constexpr double kRight = 24;

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

// The diagram model as SVG paths and texts.
class SvgPicture {
 public:
  SvgPicture(TextOutput& out, const DiagramModel& model) : out_(out), model_(model) {}

  void marker_lane(const DiagramLane& lane, double top) {
    put_label(lane.style->name, top + kDiagramLaneHeight - 3);
    std::string rects;
    for (const LaneRun& run : lane.runs)
      rects += "M" + coordinate(run.x) + " " + coordinate(top + 2) + "h" + coordinate(run.width) + "v" +
               coordinate(kDiagramLaneHeight - 4) + "h" + coordinate(-run.width) + "z";
    put_path("fill=\"" + std::string(lane.style->colour) + "\"", rects);
  }

  void trace(const DiagramTrace& trace, double top) {
    put_label(trace.label, top + kDiagramTraceLow);
    auto level = [&](bool high) { return top + (high ? kDiagramTraceHigh : kDiagramTraceLow); };
    std::string line = "M" + coordinate(model_.columns.front().x0) + " " + coordinate(level(trace.starts_high));
    std::string bands;
    for (const TracePiece& piece : trace.pieces) {
      if (piece.kind == TracePiece::Edge) {
        line += "H" + coordinate(piece.x0) + "V" + coordinate(level(piece.high_after));
        continue;
      }
      line += "H" + coordinate(piece.x0) + "M" + coordinate(piece.x1) + " " + coordinate(level(piece.high_after));
      bands += "M" + coordinate(piece.x0) + " " + coordinate(top + kDiagramTraceHigh) + "H" + coordinate(piece.x1) +
               "V" + coordinate(top + kDiagramTraceLow) + "H" + coordinate(piece.x0) + "Z";
    }
    line += "H" + coordinate(model_.columns.back().x1);
    put_path("fill=\"none\" stroke=\"" + std::string(kDiagramTraceColour) + "\" stroke-width=\"1.2\"", line);
    // A band of many changes is filled in the trace's own colour: it reads
    // as the trace going up and down faster than a pixel can show.
    if (!bands.empty()) put_path("fill=\"" + std::string(kDiagramTraceColour) + "\"", bands);
  }

  void boundaries() {
    if (model_.boundaries.empty()) return;
    std::string lines;
    for (double x : model_.boundaries)
      lines += "M" + coordinate(x) + " " + coordinate(model_.plot_top) + "V" + coordinate(model_.axis_top - 6);
    put_path("stroke=\"" + std::string(kDiagramBoundaryColour) + "\" stroke-width=\"1\"", lines);
  }

  void axis() {
    const double top = model_.axis_top;
    put_path("stroke=\"" + std::string(kDiagramAxisColour) + "\"",
             "M" + coordinate(model_.plot.left) + " " + coordinate(top) + "H" +
                 coordinate(model_.plot.left + model_.plot.width));
    for (const DiagramTick& tick : model_.ticks) {
      out_.put("<path stroke=\"" + std::string(kDiagramAxisColour) + "\" d=\"M" + coordinate(tick.x) + " " + coordinate(top) + "v5\"/>");
      out_.put("<text x=\"" + coordinate(tick.x) + "\" y=\"" + coordinate(top + 18) + "\" text-anchor=\"middle\">" +
               tick.label + "</text>\n");
    }
    out_.put("<text x=\"" + coordinate(model_.plot.left + model_.plot.width) + "\" y=\"" + coordinate(top + 32) +
             "\" text-anchor=\"end\">" + model_.span_label + "</text>\n");
  }

 private:
  void put_label(const std::string& text, double baseline) {
    out_.put("<text x=\"" + coordinate(model_.plot.left - 8) + "\" y=\"" + coordinate(baseline) +
             "\" text-anchor=\"end\">" + text + "</text>\n");
  }

  void put_path(const std::string& attributes, const std::string& shape) {
    out_.put("<path " + attributes + " d=\"" + shape + "\"/>\n");
  }

  TextOutput& out_;
  const DiagramModel& model_;
};

}  // namespace

DiagramWriter::DiagramWriter(const WriterSettings& settings, std::string name)
    : clock_mhz_(settings.clock_mhz), name_(std::move(name)), window_(settings.window), labels_(settings.labels) {}

void DiagramWriter::step(const Step& step) {
  if (step.cycle >= window_.to) return;
  if (step.cycle < window_.from) {
    bins_.outputs = outputs_at_start_ = step.outputs;
    return;
  }
  bins_.record(step.cycle - window_.from, step.outputs, step_markers(step));
}

bool DiagramWriter::write(std::FILE* file, const RunEnd& end) {
  const CycleWindow shown = window_.shown(end.cycle);
  const std::uint64_t span = shown.to - shown.from;
  bins_.cover(span - 1);

  std::vector<TimedBin> bins;
  const unsigned shift = bins_.shift();
  for (std::uint64_t i = 0; i <= (span - 1) >> shift; ++i)
    bins.push_back({i << shift, std::min(span, (i + 1) << shift), bins_.bins()[i]});
  DiagramSource source;
  source.bins = &bins;
  source.from = shown.from;
  source.span = span;
  source.clock_mhz = clock_mhz_;
  source.carried_in = outputs_at_start_;
  source.ever_changed = bins_.ever_changed;
  source.ever_marked = bins_.ever_marked;
  source.error_cycle = error_mark(end, shown);
  source.labels = &labels_;
  const DiagramModel model = build_diagram(source, PlotArea{});
  const double width = model.plot.left + model.plot.width + kRight;

  TextOutput out(file);
  out.put("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
          coordinate(width) + "\" height=\"" + coordinate(model.height) + "\" viewBox=\"0 0 " + coordinate(width) +
          " " + coordinate(model.height) + "\" font-family=\"sans-serif\" font-size=\"11\">\n");
  out.put("<rect width=\"100%\" height=\"100%\" fill=\"" + std::string(kDiagramBackground) + "\"/>\n");
  out.put("<text x=\"" + coordinate(model.plot.left) + "\" y=\"18\" font-size=\"13\">" + xml_text(name_) + " at " +
          short_number(clock_mhz_, 6) + " MHz: " + run_summary(end.steps, end, clock_mhz_, window_) + "</text>\n");
  SvgPicture picture(out, model);
  picture.boundaries();
  double top = kDiagramTitleHeight;
  for (const DiagramLane& lane : model.lanes) {
    picture.marker_lane(lane, top);
    top += kDiagramLaneHeight;
  }
  for (const DiagramTrace& trace : model.traces) {
    picture.trace(trace, top);
    top += kDiagramRowHeight;
  }
  picture.axis();
  out.put("</svg>\n");
  return out.flush();
}
