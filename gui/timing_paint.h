// The diagram model drawn with GDI: the same lanes, traces, boundaries and
// axis as the SVG cdmsim writes, in the timing view's window.
#pragma once

#include <windows.h>

#include <string>

#include "diagram_model.h"

// Fills `area` of `dc` with the diagram's background and draws `title` and
// `model` on it; the DC's own pen is left selected.
void paint_diagram(HDC dc, const RECT& area, const std::string& title, const DiagramModel& model);
