#include "app_state.h"

AppState app;

void set_output_text(std::string_view text) { SetWindowTextA(app.outputPane, std::string(text).c_str()); }

void enter_install_dir() {
  if (app.installDir[0] != '\0') SetCurrentDirectoryA(app.installDir);
}

std::string working_directory() {
  char folder[MAX_PATH] = {};
  const DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
  if (length == 0 || length >= MAX_PATH) return ".";
  return std::string(folder, length);
}

std::string running_program_folder() {
  char program[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return ".";
  const std::string path(program, length);
  const std::size_t separator = path.find_last_of('\\');
  return separator == std::string::npos ? "." : path.substr(0, separator);
}
