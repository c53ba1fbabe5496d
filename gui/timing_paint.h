// The diagram model drawn with GDI: the same lanes, traces, boundaries and
// axis as the SVG cdmsim writes, in the timing view's window.
#pragma once

#include <windows.h>

#include <string>

#include "diagram_layout.h"
#include "diagram_model.h"

// Fills `area` of `dc` with the diagram's background and draws `title` and
// `model` on it, the output rows placed as `rows` says; the DC's own pen is
// left selected.
void paint_diagram(HDC dc, const RECT& area, const std::string& title, const DiagramModel& model,
                   const DiagramRows& rows);

// Draws a vertical line in `colour` at `x` from `top` to `bottom`.
void paint_marker_line(HDC dc, double x, double top, double bottom, COLORREF colour);

// Text in UTF-8 at (x, y), aligned by `align` (TA_LEFT, TA_RIGHT or
// TA_CENTER, with TA_BASELINE).
void draw_text(HDC dc, double x, double y, const std::string& text, UINT align);
