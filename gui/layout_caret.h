// Placing the main window's controls, and the caret position label.
#pragma once

#include <windows.h>

// Moves every control to its place for the main window's client area.
void layout_controls();

// Replaces the source pane's window procedure: after each key or left-button
// release it shows the selection start's line and column.
LRESULT CALLBACK caret_indicator_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
