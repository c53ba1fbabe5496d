// Placing the controls at real window sizes, and the caret position label
// after real key and button releases in the source pane.
#include "control_layout.h"
#include "gui_fixture.h"
#include "resource_ids.h"

namespace {

RECT place_of(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, app.mainWindow, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// Every control stands where the layout puts it for the current client area.
void expect_layout(int W, int H) {
  HWND controls[kLayoutSlotCount] = {app.openButton, app.saveButton, app.loadButton, app.startButton,
                                     app.stopButton, app.sourcePane, app.outputPane, app.frequencyLabel,
                                     app.frequencyBox, app.unitLabel, app.boardLabel, app.boardBox,
                                     app.positionLabel};
  const ControlLayout layout = compute_layout(W, H);
  for (std::size_t i = 0; i < kLayoutSlotCount; ++i) {
    const RECT rect = place_of(controls[i]);
    EXPECT_TRUE((layout[i] == ControlPlace{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}))
        << "slot " << i << " at " << W << "x" << H;
  }
}

SIZE client_size() {
  RECT client{};
  GetClientRect(app.mainWindow, &client);
  return {client.right, client.bottom};
}

TEST_F(GuiTest, LayoutAt640By480AndAfterResizing) {
  start();
  const SIZE initial = client_size();
  // A 640 x 480 window with its frame, caption and menu bar.
  EXPECT_GT(initial.cx, 600);
  EXPECT_GT(initial.cy, 380);
  expect_layout(initial.cx, initial.cy);
  EXPECT_LE(place_of(app.outputPane).bottom, initial.cy - 20);

  SetWindowPos(app.mainWindow, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  const SIZE wider = client_size();
  EXPECT_EQ(initial.cx + 260, wider.cx);
  expect_layout(wider.cx, wider.cy);
}

TEST_F(GuiTest, CaretLabelFollowsOnlyReleases) {
  start();
  type_into_source("ab\nc");
  EXPECT_EQ("Line 1, Column 1", text_of(app.positionLabel));  // typing alone changes nothing
  SendMessageA(app.sourcePane, WM_KEYDOWN, VK_LEFT, 1);
  EXPECT_EQ("Line 1, Column 1", text_of(app.positionLabel));
  SendMessageA(app.sourcePane, WM_KEYUP, VK_LEFT, 0xC0000001);
  EXPECT_EQ("Line 2, Column 1", text_of(app.positionLabel));
  select_in_source(1, 1);
  SendMessageA(app.sourcePane, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ("Line 1, Column 2", text_of(app.positionLabel));
}

TEST_F(GuiTest, ReplacingTheTextKeepsTheLastPosition) {
  start();
  type_into_source("a\nb\nc");
  release_key_in_source();
  ASSERT_EQ("Line 3, Column 2", text_of(app.positionLabel));
  user_.box_answers = {IDNO};
  command(ID_FILE_NEW);
  ASSERT_EQ("", source());
  EXPECT_EQ("Line 3, Column 2", text_of(app.positionLabel));
}

}  // namespace
