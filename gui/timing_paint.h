// The diagram model drawn with GDI: the same lanes, traces, boundaries and
// axis as the SVG cdmsim writes, in the timing view's window.
#pragma once

#include <windows.h>

#include <string>

#include "diagram_model.h"

// Draws `title` and `model` onto `dc`, whose background is already white.
void paint_diagram(HDC dc, const std::string& title, const DiagramModel& model);

// Text in the program's UTF-8 (the axis' "µs") drawn at (x, y), aligned by
// `align` (TA_LEFT, TA_RIGHT or TA_CENTER, with TA_BASELINE).
void draw_text(HDC dc, double x, double y, const std::string& text, UINT align);
