// The main window's child controls and the panes' fonts.
#pragma once

#include <windows.h>

// Creates every child control of the main window at (0, 0), 1 x 1, for
// layout_controls to place. A control that cannot be made is reported and
// left out.
void create_child_controls(HINSTANCE instance);
