#include "child_controls.h"

#include "layout_caret.h"
#include "resource_ids.h"
#include "user_dialogs.h"

namespace {

constexpr DWORD kPaneStyle = WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL;
constexpr DWORD kButtonStyle = BS_PUSHBUTTON | BS_CENTER | BS_MULTILINE;

}  // namespace

// The Open File button's and the MHz label's failure texts are the ones
// users have always been shown for them, wording and all.
const ChildControl kChildControls[] = {
    {&AppState::sourcePane, IDC_SOURCE, "EDIT", WS_EX_CLIENTEDGE, kPaneStyle, "", kSourcePaneSlot,
     "Could not create Edit box."},
    {&AppState::outputPane, IDC_OUTPUT, "EDIT", WS_EX_CLIENTEDGE, kPaneStyle | ES_READONLY, "", kOutputPaneSlot,
     "Could not create Output box."},
    {&AppState::openButton, IDC_OPEN_BUTTON, "BUTTON", 0, kButtonStyle, "Open File", kOpenButtonSlot,
     "Could not create Load button."},
    {&AppState::saveButton, IDC_SAVE_BUTTON, "BUTTON", 0, kButtonStyle, "Save File", kSaveButtonSlot,
     "Could not create Save button."},
    {&AppState::loadButton, IDC_LOAD_BUTTON, "BUTTON", 0, kButtonStyle, "Load Board", kLoadButtonSlot,
     "Could not create Load Board button."},
    {&AppState::startButton, IDC_START_BUTTON, "BUTTON", 0, kButtonStyle, "Start", kStartButtonSlot,
     "Could not create Start button."},
    {&AppState::stopButton, IDC_STOP_BUTTON, "BUTTON", 0, kButtonStyle, "Stop", kStopButtonSlot,
     "Could not create Stop button."},
    {&AppState::frequencyLabel, IDC_FREQUENCY_LABEL, "STATIC", 0, SS_CENTER, "Clock Frequency:",
     kFrequencyLabelSlot, "Could not create frequency label."},
    {&AppState::frequencyBox, IDC_FREQUENCY_BOX, "EDIT", WS_EX_CLIENTEDGE, 0, "", kFrequencyBoxSlot,
     "Could not create Frequency box."},
    {&AppState::unitLabel, IDC_UNIT_LABEL, "STATIC", 0, 0, "MHz", kUnitLabelSlot,
     "Could not create frequency label."},
    {&AppState::positionLabel, IDC_POSITION_LABEL, "STATIC", 0, SS_CENTER, "Line 1, Column 1", kPositionLabelSlot,
     "Could not create position label."},
    {&AppState::boardLabel, IDC_BOARD_LABEL, "STATIC", 0, SS_CENTER, "Board Number:", kBoardLabelSlot,
     "Could not create board label."},
    {&AppState::boardBox, IDC_BOARD_BOX, "EDIT", WS_EX_CLIENTEDGE, 0, "", kBoardBoxSlot,
     "Could not create Board Number box."},
};

namespace {

// Courier 12 x 12, normal or bold. The fonts live as long as the process.
void attach_courier_font(HWND pane, int weight) {
  HFONT font = CreateFontA(12, 12, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Courier");
  if (font == nullptr) return;
  SendMessageA(pane, WM_SETFONT, reinterpret_cast<WPARAM>(font), MAKELPARAM(TRUE, 0));
}

// The caret indicator sees every key and button release in the source pane.
void install_caret_indicator(HWND pane) {
  app.previousSourceProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(pane, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(caret_indicator_proc)));
}

void finish_control(const ChildControl& control, HWND window) {
  if (control.field == &AppState::sourcePane) {
    install_caret_indicator(window);
    attach_courier_font(window, FW_DONTCARE);
  }
  if (control.field == &AppState::outputPane) attach_courier_font(window, FW_BOLD);
}

}  // namespace

void create_child_controls(HINSTANCE instance) {
  for (const ChildControl& control : kChildControls) {
    HWND window = CreateWindowExA(control.extended_style, control.window_class, control.text,
                                  WS_CHILD | WS_VISIBLE | control.style, 0, 0, 1, 1, app.mainWindow,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
    app.*control.field = window;
    if (window == nullptr) {
      user_dialogs.message_box(app.mainWindow, control.failure, "Error", MB_OK | MB_ICONERROR);
      continue;
    }
    finish_control(control, window);
  }
}
