#include "settings.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "app_state.h"
#include "dispatch.h"
#include "documents.h"
#include "safe_file_write.h"
#include "settings_text.h"
#include "window_text.h"

namespace {

constexpr char kSettingsFile[] = "interpreter.cfg";
// Two lines of 255 characters are all that is ever read of the file.
constexpr std::size_t kSettingsReadLimit = 2 * kSettingsLineLength + 2;

// One fixed place for reading and writing: file dialogs may have moved the
// working directory to a document's folder since start-up.
std::string settings_path() {
  std::string path = app.settingsFolder.empty() ? std::string(".") : app.settingsFolder;
  if (path.back() != '\\') path += '\\';
  return path + kSettingsFile;
}

}  // namespace

void read_settings() {
  Settings settings;
  if (std::FILE* file = std::fopen(settings_path().c_str(), "r")) {
    std::string text(kSettingsReadLimit, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), file));
    std::fclose(file);
    settings = parse_settings(text);
  }
  SetWindowTextA(app.frequencyBox, settings.frequency.c_str());
  if (settings.show_debug) set_debug_information(true);
  // Setting the box runs board selection for board 0 before this returns.
  SetWindowTextA(app.boardBox, "0");
}

void exit_application() {
  if (!confirm_discard_changes()) return;
  // Dialogs may have moved the working directory to a document's folder.
  enter_install_dir();
  // A settings file that cannot be written is not worth stopping the exit
  // for; the old one then stays as it was.
  const std::string text =
      settings_text(window_text_prefix(app.frequencyBox, kSettingsLineLength), app.showDebug);
  write_text_file(settings_path(), text);
  PostQuitMessage(0);
}
