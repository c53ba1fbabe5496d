// File names as the programs meet them: on the command line, in the file
// system and in messages. On Windows only the wide forms hold every name;
// the narrow ones, in the system's code page, hold only some.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The program's arguments, its own name first, as UTF-8 on Windows, read
// from the wide command line so that a name outside the system's code page
// keeps its characters; elsewhere as they came. Paths are made from them
// with std::filesystem::u8path.
class CommandLine {
 public:
  CommandLine(int argc, char** argv);
  CommandLine(const CommandLine&) = delete;
  CommandLine& operator=(const CommandLine&) = delete;
  int argc() const { return static_cast<int>(pointers_.size()); }
  const char* const* argv() const { return pointers_.data(); }

 private:
  std::vector<std::string> arguments_;
  std::vector<const char*> pointers_;
};

// Text of the command line as the console shows it: on Windows in the
// system's code page, a character it lacks as its best fit or '?', just as
// the narrow command line spells it; elsewhere as it is.
std::string console_text(std::string_view command_line_text);

// A path as messages show it, in the console's form (see console_text).
std::string shown_path(const std::filesystem::path& path);

// The path a name in the system's narrow form names, as fopen reads it (on
// Windows in the ANSI code page).
std::filesystem::path narrow_path(const char* name);
