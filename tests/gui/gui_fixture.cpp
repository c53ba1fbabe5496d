#include "gui_fixture.h"

#include <sstream>

#include "resource_ids.h"
#include "startup.h"
#include "window_text.h"

namespace {

constexpr char kInstallKey[] = "SOFTWARE\\Morvane\\Cadmora Interpreter";

void discard_pending_messages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

}  // namespace

std::string windows_path(const std::filesystem::path& path) {
  std::string text = path.string();
  for (char& c : text)
    if (c == '/') c = '\\';
  return text;
}

void GuiTest::SetUp() {
  app = AppState{};
  start_directory_ = current_directory();
  set_environment("MORVAPI_EMULATOR_DIR", windows_path(board_.path()));
  configure_board("");
  write_install_key(windows_path(install_.path()));
}

void GuiTest::TearDown() {
  close_window();
  SetCurrentDirectoryA(start_directory_.c_str());
  remove_install_key();
  set_environment("MORVAPI_EMULATOR_DIR", "");
}

void GuiTest::start(const char* command_line) {
  ASSERT_TRUE(create_main_window(GetModuleHandleA(nullptr), command_line, SW_SHOWNOACTIVATE));
  ASSERT_NE(nullptr, app.mainWindow);
}

void GuiTest::close_window() {
  if (app.mainWindow != nullptr) DestroyWindow(app.mainWindow);
  UnregisterClassA(kMainWindowClass, GetModuleHandleA(nullptr));
  discard_pending_messages();
  app = AppState{};
  quit_seen_ = false;
}

void GuiTest::configure_board(const std::string& settings) { board_.write("emulator.ini", "journal = yes\n" + settings); }

std::vector<std::string> GuiTest::journal() const {
  std::vector<std::string> lines;
  const std::string text = board_.read("journal.txt");
  if (text == "<missing>") return lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

void GuiTest::forget_journal() { std::filesystem::remove(board_ / "journal.txt"); }

LRESULT GuiTest::command(int id, int notification, HWND control) {
  return SendMessageA(app.mainWindow, WM_COMMAND, MAKEWPARAM(id, notification), reinterpret_cast<LPARAM>(control));
}

void GuiTest::type_into_source(std::string_view keys) {
  for (char key : keys) {
    const WPARAM character = key == '\n' ? '\r' : static_cast<unsigned char>(key);
    SendMessageA(app.sourcePane, WM_CHAR, character, 1);
  }
}

void GuiTest::release_key_in_source() { SendMessageA(app.sourcePane, WM_KEYUP, VK_RIGHT, 0xC0000001); }

void GuiTest::select_in_source(int start, int end) { SendMessageA(app.sourcePane, EM_SETSEL, start, end); }

void GuiTest::set_box_text(HWND box, const char* text) { SetWindowTextA(box, text); }

std::string GuiTest::text_of(HWND window) const { return window_text(window); }

bool GuiTest::debug_item_checked() const {
  HMENU interpreter_menu = GetSubMenu(GetMenu(app.mainWindow), INTERPRETER_MENU_POSITION);
  return (GetMenuState(interpreter_menu, ID_SHOW_DEBUG, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

bool GuiTest::quit_requested() {
  MSG message;
  while (!quit_seen_ && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) quit_seen_ = true;
    else DispatchMessageA(&message);
  }
  return quit_seen_;
}

std::string GuiTest::current_directory() {
  char buffer[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, buffer);
  return buffer;
}

void GuiTest::write_install_key(const std::string& folder) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                           &key, nullptr));
  RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                 static_cast<DWORD>(folder.size() + 1));
  RegCloseKey(key);
}

void GuiTest::remove_install_key() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, kInstallKey); }
