// The main window as start-up builds it: class, menus, controls, fonts and
// the program's resources.
#include "gui_fixture.h"
#include "program_folder_resources.h"
#include "resource_ids.h"

namespace {

std::string class_of(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

TEST_F(GuiTest, WindowClassAndMainWindow) {
  start();
  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof window_class;
  ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "MyWindowClass", &window_class));
  EXPECT_EQ(0u, window_class.style);
  EXPECT_EQ(0, window_class.cbClsExtra);
  EXPECT_EQ(0, window_class.cbWndExtra);
  EXPECT_EQ(reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_MENU + 1)), window_class.hbrBackground);
  EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)), window_class.hCursor);
  EXPECT_NE(nullptr, window_class.hIcon);
  EXPECT_NE(nullptr, window_class.hIconSm);
  EXPECT_EQ(nullptr, window_class.lpszMenuName);

  EXPECT_EQ("MyWindowClass", class_of(app.mainWindow));
  EXPECT_TRUE(GetWindowLongPtrA(app.mainWindow, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(static_cast<LONG_PTR>(WS_OVERLAPPEDWINDOW),
            GetWindowLongPtrA(app.mainWindow, GWL_STYLE) & WS_OVERLAPPEDWINDOW);
  EXPECT_TRUE(IsWindowVisible(app.mainWindow));
  RECT outer{};
  GetWindowRect(app.mainWindow, &outer);
  EXPECT_EQ(640, outer.right - outer.left);
  EXPECT_EQ(480, outer.bottom - outer.top);
}

TEST_F(GuiTest, MenuBar) {
  start();
  struct Item {
    int popup;
    UINT id;
    const char* text;
  } const items[] = {
      {0, 100, "&New"},          {0, 101, "&Open..."},         {0, 102, "&Save"},
      {0, 103, "Save &As..."},   {0, 104, "E&xit"},            {1, 110, "Show &Debug Information"},
      {1, 111, "&Save Output..."}, {1, 112, "&Clear Output"},  {2, 120, "&Load"},
      {2, 121, "&Start"},        {2, 122, "S&top"},            {3, 130, "&Read Me..."},
      {3, 131, "&About..."},
  };
  const char* const popups[] = {"&File", "&Interpreter", "&Board", "&Help"};
  HMENU bar = GetMenu(app.mainWindow);
  ASSERT_EQ(4, GetMenuItemCount(bar));
  for (int i = 0; i < 4; ++i) {
    char text[64] = {};
    GetMenuStringA(bar, i, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(popups[i], text);
  }
  int position[4] = {};
  for (const Item& item : items) {
    HMENU popup = GetSubMenu(bar, item.popup);
    EXPECT_EQ(item.id, GetMenuItemID(popup, position[item.popup])) << item.text;
    char text[64] = {};
    GetMenuStringA(popup, position[item.popup]++, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(item.text, text);
    EXPECT_FALSE(GetMenuState(popup, item.id, MF_BYCOMMAND) & (MF_CHECKED | MF_SEPARATOR)) << item.text;
  }
  for (int i = 0; i < 4; ++i) EXPECT_EQ(position[i], GetMenuItemCount(GetSubMenu(bar, i)));
}

TEST_F(GuiTest, ChildControls) {
  start();
  const DWORD pane = WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL;
  const DWORD button = BS_PUSHBUTTON | BS_CENTER | BS_MULTILINE;
  struct Control {
    HWND window;
    int id;
    const char* window_class;
    bool client_edge;
    DWORD styles;
    const char* text;
  } const controls[] = {
      {app.sourcePane, 1000, "Edit", true, pane, ""},
      {app.outputPane, 1000, "Edit", true, pane | ES_READONLY, "Cadmora board found.\r\nUsing MorvAPI version 1.0 (board emulator)."},
      {app.openButton, 1002, "Button", false, button, "Open File"},
      {app.saveButton, 1003, "Button", false, button, "Save File"},
      {app.loadButton, 1004, "Button", false, button, "Load Board"},
      {app.startButton, 1005, "Button", false, button, "Start"},
      {app.stopButton, 1006, "Button", false, button, "Stop"},
      {app.frequencyLabel, 1007, "Static", false, SS_CENTER, "Clock Frequency:"},
      {app.frequencyBox, 1008, "Edit", true, 0, "100.0"},
      {app.unitLabel, 1009, "Static", false, 0, "MHz"},
      {app.positionLabel, 1010, "Static", false, SS_CENTER, "Line 1, Column 1"},
      {app.boardLabel, 1011, "Static", false, SS_CENTER, "Board Number:"},
      {app.boardBox, 1012, "Edit", true, 0, "0"},
  };
  for (const Control& control : controls) {
    ASSERT_NE(nullptr, control.window) << control.id;
    EXPECT_EQ(app.mainWindow, GetParent(control.window)) << control.id;
    EXPECT_EQ(control.id, GetDlgCtrlID(control.window)) << control.id;
    EXPECT_STRCASEEQ(control.window_class, class_of(control.window).c_str()) << control.id;
    const LONG_PTR style = GetWindowLongPtrA(control.window, GWL_STYLE);
    EXPECT_EQ(static_cast<LONG_PTR>(WS_CHILD | WS_VISIBLE | control.styles),
              style & (WS_CHILD | WS_VISIBLE | control.styles))
        << control.id;
    EXPECT_EQ(control.client_edge, (GetWindowLongPtrA(control.window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0)
        << control.id;
    EXPECT_EQ(control.text, text_of(control.window)) << control.id;
  }
  // The small boxes are single-line and neither scroll nor centre.
  for (HWND box : {app.frequencyBox, app.boardBox})
    EXPECT_EQ(0, GetWindowLongPtrA(box, GWL_STYLE) & (ES_MULTILINE | ES_AUTOHSCROLL | ES_CENTER | ES_RIGHT));
  EXPECT_EQ(nullptr, GetDlgItem(app.mainWindow, 1001));
  EXPECT_EQ(0xFFFFF, SendMessageA(app.sourcePane, EM_GETLIMITTEXT, 0, 0));
}

TEST_F(GuiTest, PanesUseCourierNormalAndBold) {
  start();
  struct Pane {
    HWND window;
    LONG weight;
  } const panes[] = {{app.sourcePane, FW_DONTCARE}, {app.outputPane, FW_BOLD}};
  for (const Pane& pane : panes) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(pane.window, WM_GETFONT, 0, 0));
    ASSERT_NE(nullptr, font);
    LOGFONTA description{};
    ASSERT_NE(0, GetObjectA(font, sizeof description, &description));
    EXPECT_STREQ("Courier", description.lfFaceName);
    EXPECT_EQ(12, description.lfHeight);
    EXPECT_EQ(12, description.lfWidth);
    EXPECT_EQ(pane.weight, description.lfWeight);
    EXPECT_EQ(ANSI_CHARSET, description.lfCharSet);
  }
  EXPECT_EQ(nullptr, reinterpret_cast<HFONT>(SendMessageA(app.openButton, WM_GETFONT, 0, 0)));
}

TEST(CdmguiProgram, CarriesItsIconAndAnAsInvokerManifest) {
  const ProgramResources resources = program_resources("cdmgui.exe");
  ASSERT_TRUE(resources.loaded);
  EXPECT_EQ(32, resources.icon_width);
  EXPECT_EQ(32, resources.icon_height);
  EXPECT_EQ(32, resources.icon_bits);
  EXPECT_NE(std::string::npos, resources.manifest.find("level=\"asInvoker\""));
  EXPECT_EQ(std::string::npos, resources.manifest.find("<dependency"));
}

}  // namespace
