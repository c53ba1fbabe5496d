// A fresh temporary folder for one test, removed again afterwards.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

class TestFolder {
 public:
  TestFolder();
  ~TestFolder();
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

  // Writes `bytes` exactly as given (binary mode).
  void write(std::string_view name, std::string_view bytes) const;
  // Writes a file as a writer cut short long ago left it: last written an
  // hour ago.
  void write_left_over(std::string_view name, std::string_view bytes) const;
  // The file's bytes, or "<missing>" when it does not exist.
  std::string read(std::string_view name) const;
  bool exists(std::string_view name) const;

 private:
  std::filesystem::path path_;
};

// Sets an environment variable of this process and the programs it starts
// for the guard's life, then gives back its earlier value or absence; wide
// on Windows, so a folder outside the narrow code page arrives whole.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::filesystem::path& value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::filesystem::path name_;
  std::optional<std::filesystem::path> earlier_;
};

// The text as a text-mode stream writes it on this platform: each LF becomes
// CR LF on Windows.
std::string platform_text(std::string_view text);
