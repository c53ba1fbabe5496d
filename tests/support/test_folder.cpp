#include "test_folder.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

TestFolder::TestFolder() {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  path_ = fs::temp_directory_path() /
          ("cadmora-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  fs::create_directories(path_);
}

TestFolder::~TestFolder() {
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

void TestFolder::write(std::string_view name, std::string_view bytes) const {
  std::ofstream file(path_ / name, std::ios::binary);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TestFolder::read(std::string_view name) const {
  std::ifstream file(path_ / name, std::ios::binary);
  if (!file) return "<missing>";
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

bool TestFolder::exists(std::string_view name) const { return fs::exists(path_ / name); }

namespace {

using NativeText = fs::path::string_type;

#if defined(_WIN32)
const wchar_t* environment(const NativeText& name) { return _wgetenv(name.c_str()); }
void set_environment(const NativeText& name, const NativeText& value) { _wputenv_s(name.c_str(), value.c_str()); }
void clear_environment(const NativeText& name) { _wputenv_s(name.c_str(), L""); }
#else
const char* environment(const NativeText& name) { return getenv(name.c_str()); }
void set_environment(const NativeText& name, const NativeText& value) { setenv(name.c_str(), value.c_str(), 1); }
void clear_environment(const NativeText& name) { unsetenv(name.c_str()); }
#endif

}  // namespace

ScopedEnvironment::ScopedEnvironment(const char* name, const fs::path& value) : name_(fs::path(name).native()) {
  if (const auto* earlier = environment(name_)) earlier_ = earlier;
  set_environment(name_, value.native());
}

ScopedEnvironment::~ScopedEnvironment() {
  if (earlier_)
    set_environment(name_, *earlier_);
  else
    clear_environment(name_);
}

std::string platform_text(std::string_view text) {
#if defined(_WIN32)
  std::string converted;
  for (char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  return converted;
#else
  return std::string(text);
#endif
}
