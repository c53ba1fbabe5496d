#include "state_folder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <system_error>

#include "replacing_file.h"

namespace fs = std::filesystem;

namespace {

// Paths stay in the system's own form from the environment to every file
// opened: on Windows wide characters, since a folder name outside the ANSI
// code page has no narrow form; on Linux bytes, whatever their encoding.
#if defined(_WIN32)
#define ENVIRONMENT(name) _wgetenv(L##name)
#else
#define ENVIRONMENT(name) std::getenv(name)
#endif

// A variable's value, read with ENVIRONMENT("NAME"), as a path, unless the
// variable is unset or empty.
template <typename Char>
std::optional<fs::path> path_if_set(const Char* value) {
  if (value == nullptr || *value == 0) return std::nullopt;
  return fs::path(value);
}

fs::path default_state_folder() {
#if defined(_WIN32)
  if (auto local = path_if_set(ENVIRONMENT("LOCALAPPDATA"))) return *local / "MorvAPI Emulator";
  return fs::path("MorvAPI Emulator");
#else
  if (auto state = path_if_set(ENVIRONMENT("XDG_STATE_HOME"))) return *state / "morvapi-emulator";
  if (auto home = path_if_set(ENVIRONMENT("HOME"))) return *home / ".local" / "state" / "morvapi-emulator";
  return fs::path("morvapi-emulator");
#endif
}

}  // namespace

fs::path emulator_state_folder() {
  std::optional<fs::path> chosen = path_if_set(ENVIRONMENT("MORVAPI_EMULATOR_DIR"));
  fs::path folder = chosen ? *chosen : default_state_folder();
  std::error_code ignored;
  fs::create_directories(folder, ignored);
  return folder;
}

fs::path board_path(const fs::path& folder, int board, const char* extension) {
  return folder / ("board" + std::to_string(board) + extension);
}

std::string read_file_text(const fs::path& path, std::size_t limit) {
  std::string text;
  std::FILE* file = open_file(path, "rb");
  if (file == nullptr) return text;
  char buffer[4096];
  size_t count;
  while (text.size() < limit && (count = std::fread(buffer, 1, std::min(sizeof buffer, limit - text.size()), file)) > 0)
    text.append(buffer, count);
  std::fclose(file);
  return text;
}

bool write_file_atomically(const fs::path& target, const std::function<bool(std::FILE*)>& write) {
  ReplacingFile file(target);
  return file.open() && write(file.file()) && file.commit();
}

void append_line(const fs::path& path, std::string_view line) {
  std::FILE* file = open_file(path, "ab");
  if (file == nullptr) return;
  std::fwrite(line.data(), 1, line.size(), file);
  std::fputc('\n', file);
  std::fclose(file);
}
