#include "state_folder.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <system_error>

#include "replacing_file.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

// Paths stay in the system's own form from the environment to every file
// opened: on Windows wide characters, since a folder name outside the ANSI
// code page has no narrow form; on Linux bytes, whatever their encoding.
#if defined(_WIN32)
std::optional<fs::path> environment_path(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  if (value == nullptr || *value == L'\0') return std::nullopt;
  return fs::path(value);
}
#define ENVIRONMENT_NAME(name) L##name
#else
std::optional<fs::path> environment_path(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return std::nullopt;
  return fs::path(value);
}
#define ENVIRONMENT_NAME(name) name
#endif

fs::path default_state_folder() {
#if defined(_WIN32)
  if (auto local = environment_path(L"LOCALAPPDATA")) return *local / "MorvAPI Emulator";
  return fs::path("MorvAPI Emulator");
#else
  if (auto state = environment_path("XDG_STATE_HOME")) return *state / "morvapi-emulator";
  if (auto home = environment_path("HOME")) return *home / ".local" / "state" / "morvapi-emulator";
  return fs::path("morvapi-emulator");
#endif
}

}  // namespace

fs::path emulator_state_folder() {
  std::optional<fs::path> chosen = environment_path(ENVIRONMENT_NAME("MORVAPI_EMULATOR_DIR"));
  fs::path folder = chosen ? *chosen : default_state_folder();
  std::error_code ignored;
  fs::create_directories(folder, ignored);
  return folder;
}

fs::path board_path(const fs::path& folder, int board, const char* extension) {
  return folder / ("board" + std::to_string(board) + extension);
}

std::string read_file_text(const fs::path& path) {
  std::string text;
  std::FILE* file = open_file(path, "rb");
  if (file == nullptr) return text;
  char buffer[4096];
  size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, count);
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

std::string display_text(const fs::path& path) {
#if defined(_WIN32)
  const std::wstring& wide = path.native();
  const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size, nullptr, nullptr);
  return text;
#else
  return path.native();
#endif
}
