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

void TestFolder::write_left_over(std::string_view name, std::string_view bytes) const {
  write(name, bytes);
  std::filesystem::last_write_time(path_ / name,
                                   std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
}

std::string TestFolder::read(std::string_view name) const {
  std::ifstream file(path_ / name, std::ios::binary);
  if (!file) return "<missing>";
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

bool TestFolder::exists(std::string_view name) const { return fs::exists(path_ / name); }

ScopedEnvironment::ScopedEnvironment(const char* name, const fs::path& value) : name_(name) {
#if defined(_WIN32)
  if (const wchar_t* earlier = _wgetenv(name_.c_str())) earlier_ = earlier;
  _wputenv_s(name_.c_str(), value.c_str());
#else
  if (const char* earlier = getenv(name_.c_str())) earlier_ = earlier;
  setenv(name_.c_str(), value.c_str(), 1);
#endif
}

ScopedEnvironment::~ScopedEnvironment() {
#if defined(_WIN32)
  _wputenv_s(name_.c_str(), earlier_ ? earlier_->c_str() : L"");  // an empty value clears it
#else
  earlier_ ? setenv(name_.c_str(), earlier_->c_str(), 1) : unsetenv(name_.c_str());
#endif
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
