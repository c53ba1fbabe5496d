// The diagram model drawn with GDI: the same lanes, traces, boundaries and
// axis as the SVG cdmsim writes, in the timing view's window.
#pragma once

#include <windows.h>

#include <string>

#include "diagram_model.h"

// Draws `title` and `model` onto `dc`, whose background is already white;
// the DC's own pen is left selected.
void paint_diagram(HDC dc, const std::string& title, const DiagramModel& model);
