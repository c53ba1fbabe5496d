// Placing the main window's controls, and the caret position label.
#pragma once

#include <windows.h>

#include <cstddef>

// Moves every control to its place for the main window's client area.
void layout_controls();

// Replaces the source pane's window procedure: after each key or left-button
// release it shows the selection start's line and column.
LRESULT CALLBACK caret_indicator_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Puts the source pane's caret at the start of `line` (1-based), scrolled
// into view, and shows its place; nothing past the last line.
void place_caret_on_line(unsigned line);

// Selects columns `first` to `last` (1-based, both included) of `line`, as
// far as the line goes, scrolled into view, and shows the place; with no
// columns (0) puts the caret at the line's start.
void select_on_line(unsigned line, unsigned first, unsigned last);

// Readies the caret indicator's copy of the text for a pane that takes up to
// `typing_limit` typed characters, so that no key release pays for fresh
// memory; a longer opened text grows it once.
void prepare_caret_indicator(std::size_t typing_limit);
