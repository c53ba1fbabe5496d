#include "timing_paint.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

int pixel(double value) { return static_cast<int>(std::lround(value)); }

// A colour of the diagram's table, "#rgb" or "#rrggbb".
COLORREF colour(const char* hex) {
  const unsigned long value = std::strtoul(hex + 1, nullptr, 16);
  if (std::strlen(hex) == 4) return RGB((value >> 8 & 0xf) * 0x11, (value >> 4 & 0xf) * 0x11, (value & 0xf) * 0x11);
  return RGB(value >> 16 & 0xff, value >> 8 & 0xff, value & 0xff);
}

void fill(HDC dc, double x0, double y0, double x1, double y1, COLORREF fill_colour) {
  RECT rect{pixel(x0), pixel(y0), pixel(x1), pixel(y1)};
  if (rect.right <= rect.left) rect.right = rect.left + 1;
  SetDCBrushColor(dc, fill_colour);
  FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// Lines are drawn in `pen_colour` from here on: the DC's own one-pixel pen,
// which draws the very pixels a pen made for the colour would, without
// making and freeing one.
void use_pen(HDC dc, COLORREF pen_colour) {
  SelectObject(dc, GetStockObject(DC_PEN));
  SetDCPenColor(dc, pen_colour);
}

void line(HDC dc, double x0, double y0, double x1, double y1) {
  MoveToEx(dc, pixel(x0), pixel(y0), nullptr);
  LineTo(dc, pixel(x1), pixel(y1));
}

// A level line from the current position to `x`.
void level_to(HDC dc, double x) {
  POINT at{};
  GetCurrentPositionEx(dc, &at);
  LineTo(dc, pixel(x), at.y);
}

void draw_label(HDC dc, const DiagramModel& model, const std::string& text, double baseline) {
  draw_text(dc, model.plot.left - 8, baseline, text, TA_RIGHT | TA_BASELINE);
}

void draw_boundaries(HDC dc, const DiagramModel& model, const DiagramRows& rows) {
  use_pen(dc, colour(kDiagramBoundaryColour));
  for (double x : model.boundaries) line(dc, x, rows.plot_top, x, rows.axis_top - 6);
}

void draw_lane(HDC dc, const DiagramModel& model, const DiagramLane& lane, double top) {
  draw_label(dc, model, lane.style->name, top + kDiagramLaneHeight - 3);
  for (const LaneRun& run : lane.runs)
    fill(dc, run.x, top + 2, run.x + run.width, top + kDiagramLaneHeight - 2, colour(lane.style->colour));
}

void draw_trace(HDC dc, const DiagramModel& model, const DiagramRows& rows, const DiagramTrace& trace, double top) {
  draw_label(dc, model, trace.label, rows.low(top));
  const auto level = [&rows, top](bool high) { return high ? rows.high(top) : rows.low(top); };
  const COLORREF trace_colour = colour(kDiagramTraceColour);
  use_pen(dc, trace_colour);
  MoveToEx(dc, pixel(model.columns.front().x0), pixel(level(trace.starts_high)), nullptr);
  for (const TracePiece& piece : trace.pieces) {
    level_to(dc, piece.x0);
    if (piece.kind == TracePiece::Edge) {
      LineTo(dc, pixel(piece.x0), pixel(level(piece.high_after)));
      continue;
    }
    fill(dc, piece.x0, level(true), piece.x1, level(false) + 1, trace_colour);
    MoveToEx(dc, pixel(piece.x1), pixel(level(piece.high_after)), nullptr);
  }
  level_to(dc, model.columns.back().x1);
}

void draw_axis(HDC dc, const DiagramModel& model, const DiagramRows& rows) {
  use_pen(dc, colour(kDiagramAxisColour));
  const double top = rows.axis_top;
  line(dc, model.plot.left, top, model.plot.left + model.plot.width, top);
  for (const DiagramTick& tick : model.ticks) {
    line(dc, tick.x, top, tick.x, top + 5);
    draw_text(dc, tick.x, top + 18, tick.label, TA_CENTER | TA_BASELINE);
  }
  draw_text(dc, model.plot.left + model.plot.width, top + 32, model.span_label, TA_RIGHT | TA_BASELINE);
}

}  // namespace

// Text in the program's UTF-8 (the axis' "µs").
void draw_text(HDC dc, double x, double y, const std::string& text, UINT align) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  SetTextAlign(dc, align);
  TextOutW(dc, pixel(x), pixel(y), wide.c_str(), length);
}

void paint_marker_line(HDC dc, double x, double top, double bottom, COLORREF line_colour) {
  use_pen(dc, line_colour);
  line(dc, x, top, x, bottom);
}

void paint_diagram(HDC dc, const RECT& area, const std::string& title, const DiagramModel& model,
                   const DiagramRows& rows) {
  fill(dc, area.left, area.top, area.right, area.bottom, colour(kDiagramBackground));
  SetBkMode(dc, TRANSPARENT);
  draw_text(dc, model.plot.left, 18, title, TA_LEFT | TA_BASELINE);
  if (model.columns.empty()) return;
  draw_boundaries(dc, model, rows);
  double top = kDiagramTitleHeight;
  for (const DiagramLane& lane : model.lanes) {
    draw_lane(dc, model, lane, top);
    top += kDiagramLaneHeight;
  }
  for (const DiagramTrace& trace : model.traces) {
    draw_trace(dc, model, rows, trace, top);
    top += rows.row_height;
  }
  draw_axis(dc, model, rows);
}
