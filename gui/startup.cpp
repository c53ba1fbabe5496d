#include "startup.h"

#include <algorithm>
#include <optional>
#include <string>

#include "app_state.h"
#include "child_controls.h"
#include "command_line_path.h"
#include "dispatch.h"
#include "documents.h"
#include "layout_caret.h"
#include "library_board.h"
#include "resource_ids.h"
#include "settings.h"
#include "user_dialogs.h"
#include "window_title.h"

namespace {

constexpr char kInstallKey[] = "SOFTWARE\\Morvane\\Cadmora Interpreter\\";
constexpr DWORD kSourceTextLimit = 0xFFFFF;
constexpr DWORD kLongPathSize = 256;

bool register_main_class(HINSTANCE instance) {
  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = main_window_proc;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP_ICON));
  window_class.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP_ICON));
  window_class.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_MENU + 1));
  window_class.lpszClassName = kMainWindowClass;
  return RegisterClassExA(&window_class) != 0;
}

struct MenuItem {
  UINT id;
  const char* text;
};

HMENU make_popup(std::initializer_list<MenuItem> items) {
  HMENU popup = CreatePopupMenu();
  for (const MenuItem& item : items) AppendMenuA(popup, MF_STRING, item.id, item.text);
  return popup;
}

HMENU build_menu_bar() {
  HMENU bar = CreateMenu();
  const auto append = [bar](HMENU popup, const char* text) {
    AppendMenuA(bar, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(popup), text);
  };
  append(make_popup({{ID_FILE_NEW, "&New"},
                     {ID_FILE_OPEN, "&Open..."},
                     {ID_FILE_SAVE, "&Save"},
                     {ID_FILE_SAVE_AS, "Save &As..."},
                     {ID_FILE_EXIT, "E&xit"}}),
         "&File");
  append(make_popup({{ID_SHOW_DEBUG, "Show &Debug Information"},
                     {ID_SAVE_OUTPUT, "&Save Output..."},
                     {ID_CLEAR_OUTPUT, "&Clear Output"},
                     {ID_TIMING_VIEW, "&Timing View\tF5"}}),
         "&Interpreter");
  append(make_popup({{ID_BOARD_LOAD, "&Load"}, {ID_BOARD_START, "&Start"}, {ID_BOARD_STOP, "S&top"}}),
         "&Board");
  append(make_popup({{ID_HELP_READ_ME, "&Read Me..."}, {ID_HELP_ABOUT, "&About..."}}), "&Help");
  return bar;
}

void hide_console_window() {
  HWND console = GetConsoleWindow();
  if (console != nullptr) ShowWindow(console, SW_HIDE);
}

// The installation folder is the key's default value. A value that does not
// fit the 256 bytes read is not cut into some other folder's name: the
// program then runs as if the key were absent.
void read_install_dir() {
  app.installDir[0] = '\0';
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  DWORD size = kInstallDirSize - 1;
  const LONG result =
      RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(app.installDir), &size);
  RegCloseKey(key);
  // The value need not end in a zero of its own.
  app.installDir[result == ERROR_SUCCESS ? std::min<DWORD>(size, kInstallDirSize - 1) : 0] = '\0';
}

// The working directory as an absolute path.
std::string working_directory() {
  char folder[MAX_PATH] = {};
  const DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
  if (length == 0 || length >= MAX_PATH) return ".";
  return std::string(folder, length);
}

// The long form when the system knows one that fits, else the path as typed.
std::string long_path(const std::string& path) {
  char buffer[kLongPathSize + 1] = {};
  const DWORD length = GetLongPathNameA(path.c_str(), buffer, kLongPathSize);
  if (length == 0 || length >= kLongPathSize) return path;
  return std::string(buffer, length);
}

// The path made absolute against the working directory, so that a later
// change of the working directory cannot move the document elsewhere.
// Nothing when the absolute path does not fit the program's path limit.
std::optional<std::string> absolute_path(const std::string& path) {
  char buffer[MAX_PATH] = {};
  const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
  if (length == 0 || length >= MAX_PATH) return std::nullopt;
  return std::string(buffer, length);
}

void refuse_command_line_file(const std::string& shown) {
  const std::string text = "Unable to open " + shown + ".";
  user_dialogs.message_box(app.mainWindow, text.c_str(), "Error", MB_OK | MB_ICONERROR);
}

void open_command_line_file(const char* command_line) {
  app.fileName.clear();
  if (command_line == nullptr || command_line[0] == '\0') return;
  const std::optional<std::string> given = command_line_path(command_line);
  if (!given) return refuse_command_line_file(command_line_shown(command_line));
  const std::string path = long_path(*given);
  const std::optional<std::string> absolute = absolute_path(path);
  if (!absolute || !load_source_file(*absolute)) return refuse_command_line_file(path);
  set_output_text("File opened.");
  app.fileName = *absolute;
}

void probe_board() {
  const bool found = with_open_board(library_board(), [](Board& board) {
    set_output_text(std::string("Cadmora board found.\r\nUsing MorvAPI version ") + board.version() + ".");
    board.set_debug(1);
  });
  if (!found) set_output_text("No Cadmora board found.");
}

// Tells the user why the program cannot start.
bool start_failed(const char* text) {
  user_dialogs.message_box(nullptr, text, "Error!", MB_OK | MB_ICONEXCLAMATION);
  return false;
}

}  // namespace

bool create_main_window(HINSTANCE instance, const char* command_line, int show_command) {
  if (!register_main_class(instance)) return start_failed("Window Registration Failed!");
  app.mainWindow = CreateWindowExA(WS_EX_CLIENTEDGE, kMainWindowClass, kProgramTitle, WS_OVERLAPPEDWINDOW,
                                   CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, build_menu_bar(), instance,
                                   nullptr);
  if (app.mainWindow == nullptr) return start_failed("Window Creation Failed!");
  create_child_controls(instance);
  layout_controls();
  SendMessageA(app.sourcePane, EM_SETLIMITTEXT, kSourceTextLimit, 0);
  prepare_caret_indicator(kSourceTextLimit);
  hide_console_window();
  ShowWindow(app.mainWindow, show_command);
  UpdateWindow(app.mainWindow);

  read_install_dir();
  open_command_line_file(command_line);
  update_title();
  enter_install_dir();
  app.settingsFolder = working_directory();
  read_settings();
  probe_board();
  return true;
}

void dispatch_message(MSG& message) {
  // F5 opens the timing view from any of the program's windows; no other key
  // is taken from the controls.
  static ACCEL timing_view_key{FVIRTKEY, VK_F5, ID_TIMING_VIEW};
  static HACCEL shortcuts = CreateAcceleratorTableA(&timing_view_key, 1);
  if (app.mainWindow != nullptr && TranslateAcceleratorA(app.mainWindow, shortcuts, &message) != 0) return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

int run_message_loop() {
  MSG message{};
  BOOL result;
  while ((result = GetMessageA(&message, nullptr, 0, 0)) > 0) dispatch_message(message);
  return result == 0 ? static_cast<int>(message.wParam) : 0;
}

void stop_board_at_exit() { with_open_board(library_board(), &Board::stop); }

int run_cdmgui(HINSTANCE instance, const char* command_line, int show_command) {
  if (!create_main_window(instance, command_line, show_command)) return 0;
  const int exit_code = run_message_loop();
  stop_board_at_exit();
  return exit_code;
}
