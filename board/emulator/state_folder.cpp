#include "state_folder.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <thread>

#if defined(_WIN32)
#include <process.h>
#define current_process_id _getpid
#else
#include <unistd.h>
#define current_process_id getpid
#endif

namespace fs = std::filesystem;

namespace {

const char* environment_text(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : nullptr;
}

fs::path default_state_folder() {
#if defined(_WIN32)
  if (const char* local = environment_text("LOCALAPPDATA")) return fs::path(local) / "MorvAPI Emulator";
  return fs::path("MorvAPI Emulator");
#else
  if (const char* state = environment_text("XDG_STATE_HOME")) return fs::path(state) / "morvapi-emulator";
  if (const char* home = environment_text("HOME"))
    return fs::path(home) / ".local" / "state" / "morvapi-emulator";
  return fs::path("morvapi-emulator");
#endif
}

// Replacing a file that another program is reading fails on Windows until
// the reader lets go, so the rename is tried a few times before giving up.
void rename_over(const fs::path& from, const fs::path& to, std::error_code& error) {
  for (int attempt = 0; attempt < 50; ++attempt) {
    fs::rename(from, to, error);
    if (!error) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace

fs::path emulator_state_folder() {
  const char* chosen = environment_text("MORVAPI_EMULATOR_DIR");
  fs::path folder = chosen != nullptr ? fs::path(chosen) : default_state_folder();
  std::error_code ignored;
  fs::create_directories(folder, ignored);
  return folder;
}

std::string read_file_text(const fs::path& path) {
  std::string text;
  std::FILE* file = std::fopen(path.string().c_str(), "rb");
  if (file == nullptr) return text;
  char buffer[4096];
  size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, count);
  std::fclose(file);
  return text;
}

bool write_file_atomically(const fs::path& target, const std::function<bool(std::FILE*)>& write) {
  static std::atomic<unsigned> counter{0};
  fs::path temporary = target;
  temporary += ".tmp" + std::to_string(current_process_id()) + "-" + std::to_string(counter++);
  std::FILE* file = std::fopen(temporary.string().c_str(), "wb");
  if (file == nullptr) return false;
  bool written = write(file);
  written = std::fclose(file) == 0 && written;
  std::error_code error;
  if (written) rename_over(temporary, target, error);
  if (!written || error) {
    fs::remove(temporary, error);
    return false;
  }
  return true;
}

void append_line(const fs::path& path, std::string_view line) {
  std::FILE* file = std::fopen(path.string().c_str(), "ab");
  if (file == nullptr) return;
  std::fwrite(line.data(), 1, line.size(), file);
  std::fputc('\n', file);
  std::fclose(file);
}
