// Placing the controls at real window sizes, and the caret position label
// after real key and button releases in the source pane.
#include "gui_fixture.h"

namespace {

RECT place_of(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, app.mainWindow, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

struct Expected {
  HWND* control;
  const char* name;
  int x, y, width, height;
};

// Checks every control against the numbers the layout promises for a client
// area of W x H.
void expect_layout(int W, int H) {
  const int space = H - 50;
  const Expected expected[] = {
      {&app.openButton, "open", 0, 0, 100, 30},
      {&app.saveButton, "save", 100, 0, 100, 30},
      {&app.loadButton, "load", 200, 0, 100, 30},
      {&app.startButton, "start", 300, 0, 100, 30},
      {&app.stopButton, "stop", 400, 0, 100, 30},
      {&app.sourcePane, "source", 0, 30, W, static_cast<int>(space * 0.7)},
      {&app.outputPane, "output", 0, static_cast<int>(space * 0.7 + 30.0), W, static_cast<int>(space * 0.3)},
      {&app.frequencyLabel, "frequency label", 0, H - 20, 125, 20},
      {&app.frequencyBox, "frequency box", 125, H - 20, 75, 20},
      {&app.unitLabel, "unit", 200, H - 20, 30, 20},
      {&app.boardLabel, "board label", 230, H - 20, 150, 20},
      {&app.boardBox, "board box", 360, H - 20, 50, 20},
      {&app.positionLabel, "position", 410, H - 20, W - 360, 20},
  };
  for (const Expected& e : expected) {
    const RECT rect = place_of(*e.control);
    EXPECT_EQ(e.x, rect.left) << e.name << " at " << W << "x" << H;
    EXPECT_EQ(e.y, rect.top) << e.name << " at " << W << "x" << H;
    EXPECT_EQ(e.width, rect.right - rect.left) << e.name << " at " << W << "x" << H;
    EXPECT_EQ(e.height, rect.bottom - rect.top) << e.name << " at " << W << "x" << H;
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

TEST_F(GuiTest, MinimisingAndRestoringKeepsTheLayout) {
  start();
  const SIZE initial = client_size();
  ShowWindow(app.mainWindow, SW_MINIMIZE);
  ShowWindow(app.mainWindow, SW_RESTORE);
  expect_layout(initial.cx, initial.cy);
}

TEST_F(GuiTest, ASizeMessageLaysOutAgainAndAnswersZero) {
  start();
  SetWindowPos(app.sourcePane, nullptr, 5, 5, 10, 10, SWP_NOZORDER);
  EXPECT_EQ(0, SendMessageA(app.mainWindow, WM_SIZE, SIZE_RESTORED, 0));
  const SIZE size = client_size();
  expect_layout(size.cx, size.cy);
}

TEST_F(GuiTest, CaretLabelAfterTypingAndReleasingAKey) {
  start();
  type_into_source("ab\n\tc\n\nxyz");
  ASSERT_EQ("ab\r\n\tc\r\n\r\nxyz", source());
  EXPECT_TRUE(app.modified);
  struct Case {
    int start;
    int end;
    const char* label;
  } const cases[] = {
      {0, 0, "Line 1, Column 1"},
      {2, 2, "Line 1, Column 3"},
      {4, 4, "Line 2, Column 1"},   // right after the line break
      {5, 5, "Line 2, Column 2"},   // a tab is one column
      {6, 6, "Line 2, Column 3"},
      {10, 10, "Line 4, Column 1"},
      {13, 13, "Line 4, Column 4"},
      {13, 4, "Line 2, Column 1"},  // a selection shows its start
      {5, 13, "Line 2, Column 2"},
  };
  for (const Case& c : cases) {
    select_in_source(c.start, c.end);
    release_key_in_source();
    EXPECT_EQ(c.label, text_of(app.positionLabel)) << c.start << "-" << c.end;
  }
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
  command(100);  // New
  ASSERT_EQ("", source());
  EXPECT_EQ("Line 3, Column 2", text_of(app.positionLabel));
}

}  // namespace
