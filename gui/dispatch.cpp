#include "dispatch.h"

#include <string>

#include "app_state.h"
#include "board_commands.h"
#include "cadmora_version.h"
#include "documents.h"
#include "layout_caret.h"
#include "resource_ids.h"
#include "settings.h"
#include "timing_view.h"
#include "user_dialogs.h"

namespace {

constexpr char kAboutText[] =
    "Cadmora Interpreter - 20240820\r\n"
    "\r\n"
    "Editor and loader for Cadmora timing programs.\r\n"
    "Board library: MorvAPI (morvapi.dll).\r\n"
    "Version " CADMORA_VERSION ", built " __DATE__ ".";

// An edit control's report that its text changed.
bool is_change_of(int id, WPARAM wparam) { return HIWORD(wparam) == EN_CHANGE && LOWORD(wparam) == id; }

// The folder of the running program, without a trailing backslash.
std::string running_program_folder() {
  char program[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return ".";
  const std::string path(program, length);
  const std::size_t separator = path.find_last_of('\\');
  return separator == std::string::npos ? "." : path.substr(0, separator);
}

// Without an installation folder the page beside the program is opened, never
// one at the root of whatever drive is current, where anyone may put a file.
void show_read_me() {
  const std::string folder = app.installDir[0] != '\0' ? std::string(app.installDir) : running_program_folder();
  const std::string page = folder + "\\Doc\\index.html";
  user_dialogs.shell_execute(nullptr, "open", page.c_str(), nullptr, nullptr, SW_SHOW);
}

void show_about() { user_dialogs.message_box(app.mainWindow, kAboutText, "About", MB_OK | MB_ICONINFORMATION); }

void open_and_retitle() {
  open_document();
  update_title();
}

void save_as_and_retitle() {
  save_document_as();
  update_title();
}

// The program's commands from the menus and buttons, by their id.
struct Command {
  WORD id;
  void (*run)();
};

const Command kCommands[] = {
    {ID_FILE_NEW, new_document},
    {ID_FILE_OPEN, open_and_retitle},
    {IDC_OPEN_BUTTON, open_and_retitle},
    {ID_FILE_SAVE, [] { save_document(); }},
    {IDC_SAVE_BUTTON, [] { save_document(); }},
    {ID_FILE_SAVE_AS, save_as_and_retitle},
    {ID_FILE_EXIT, exit_application},
    {ID_SHOW_DEBUG, [] { set_debug_information(!app.showDebug); }},
    {ID_SAVE_OUTPUT, save_output},
    {ID_CLEAR_OUTPUT, clear_output},
    {ID_TIMING_VIEW, show_timing_view},
    {ID_BOARD_LOAD, load_command},
    {IDC_LOAD_BUTTON, load_command},
    {ID_HELP_READ_ME, show_read_me},
    {ID_HELP_ABOUT, show_about},
};

// Runs the handler of the command `wparam` names, if it is one of the
// program's.
void run_command(WPARAM wparam) {
  if (is_change_of(IDC_BOARD_BOX, wparam)) apply_board_number();
  for (const Command& command : kCommands)
    if (command.id == LOWORD(wparam)) command.run();
}

bool is_start(WPARAM wparam) { return LOWORD(wparam) == ID_BOARD_START || LOWORD(wparam) == IDC_START_BUTTON; }

bool is_stop(WPARAM wparam) { return LOWORD(wparam) == ID_BOARD_STOP || LOWORD(wparam) == IDC_STOP_BUTTON; }

LRESULT on_command(HWND window, WPARAM wparam, LPARAM lparam) {
  // Only the user's edits raise this: the multi-line panes report nothing
  // when the program sets their text, and the output pane is read-only.
  if (is_change_of(IDC_SOURCE, wparam)) {
    app.modified = true;
    timing_view_source_changed();
  }
  if (is_change_of(IDC_FREQUENCY_BOX, wparam)) timing_view_document_changed();
  // Start and Stop answer 0 when they find no board.
  if (is_start(wparam) && !start_board()) return 0;
  if (is_stop(wparam) && !stop_board()) return 0;
  run_command(wparam);
  return DefWindowProcA(window, WM_COMMAND, wparam, lparam);
}

LRESULT on_size() {
  layout_controls();
  return 0;
}

LRESULT on_close() {
  // No default handling: the window stays when the user cancels the exit.
  exit_application();
  return 0;
}

// The message loop only ends on the quit message; a main window destroyed
// any other way must not leave a process without a window behind.
LRESULT on_destroy() {
  PostQuitMessage(0);
  return 0;
}

}  // namespace

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      return on_size();
    case WM_CLOSE:
      return on_close();
    case WM_DESTROY:
      return on_destroy();
    case WM_COMMAND:
      return on_command(window, wparam, lparam);
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

void set_debug_information(bool on) {
  app.showDebug = on;
  HMENU interpreter_menu = GetSubMenu(GetMenu(app.mainWindow), INTERPRETER_MENU_POSITION);
  CheckMenuItem(interpreter_menu, ID_SHOW_DEBUG, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}
