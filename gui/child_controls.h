// The main window's child controls: one table names each control's field,
// id, class, styles, text, place in the layout and the text shown when it
// cannot be made; creating and placing them both read it.
#pragma once

#include <windows.h>

#include "app_state.h"
#include "control_layout.h"

struct ChildControl {
  HWND AppState::*field;
  int id;
  const char* window_class;
  DWORD extended_style;
  DWORD style;
  const char* text;
  LayoutSlot slot;
  const char* failure;
};

// In creation order, which is also the order of keyboard and Z order; one
// control for each place in the layout.
extern const ChildControl kChildControls[kLayoutSlotCount];

// Creates every child control of the main window at (0, 0), 1 x 1, for
// layout_controls to place. A control that cannot be made is reported and
// left out.
void create_child_controls(HINSTANCE instance);
