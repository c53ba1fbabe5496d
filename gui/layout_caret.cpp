#include "layout_caret.h"

#include <algorithm>
#include <string>

#include "app_state.h"
#include "caret_position.h"
#include "child_controls.h"
#include "control_layout.h"
#include "window_text.h"

namespace {

bool is_release(UINT message) { return message == WM_KEYUP || message == WM_LBUTTONUP; }

// Shows the selection start's line and column in the position label: the
// text in front of it, counted.
void show_caret_position() {
  DWORD start = 0;
  SendMessageA(app.sourcePane, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  copy_window_text_prefix(app.sourcePane, start, app.textBeforeCaret);
  const std::string label = position_label_text(caret_position(app.textBeforeCaret));
  SetWindowTextA(app.positionLabel, label.c_str());
}

}  // namespace

void place_caret_on_line(unsigned line) { select_on_line(line, 0, 0); }

void select_on_line(unsigned line, unsigned first, unsigned last) {
  if (line == 0) return;
  const LRESULT start = SendMessageA(app.sourcePane, EM_LINEINDEX, line - 1, 0);
  if (start < 0) return;
  const auto length = static_cast<unsigned>(SendMessageA(app.sourcePane, EM_LINELENGTH, static_cast<WPARAM>(start), 0));
  const unsigned from = first == 0 ? 0 : std::min(first - 1, length);
  const unsigned to = first == 0 ? 0 : std::min(std::max(first, last), length);
  SendMessageA(app.sourcePane, EM_SETSEL, static_cast<WPARAM>(start + from), start + to);
  SendMessageA(app.sourcePane, EM_SCROLLCARET, 0, 0);
  show_caret_position();
}

void prepare_caret_indicator(std::size_t typing_limit) {
  app.textBeforeCaret.resize(typing_limit + 1);
  app.textBeforeCaret.clear();
}

void layout_controls() {
  // WM_SIZE arrives while the main window is still being created, before
  // there is anything to place.
  if (app.mainWindow == nullptr) return;
  RECT client{};
  GetClientRect(app.mainWindow, &client);
  const ControlLayout layout = compute_layout(client.right - client.left, client.bottom - client.top);
  for (const ChildControl& control : kChildControls) {
    const ControlPlace& place = layout[control.slot];
    if (app.*control.field != nullptr)
      SetWindowPos(app.*control.field, nullptr, place.x, place.y, place.width, place.height, SWP_NOZORDER);
  }
  // The bottom row's boxes keep stale pixels otherwise: the class has no
  // redraw-on-resize style.
  if (app.boardBox != nullptr) InvalidateRect(app.boardBox, nullptr, TRUE);
  if (app.positionLabel != nullptr) InvalidateRect(app.positionLabel, nullptr, TRUE);
}

LRESULT CALLBACK caret_indicator_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  // The caret has already moved on key-down, character or button-down; the
  // label follows on the release, before the edit control sees it.
  if (is_release(message)) show_caret_position();
  return CallWindowProcA(app.previousSourceProc, window, message, wparam, lparam);
}
