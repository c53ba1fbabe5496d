#include "command_line_path.h"

std::string command_line_path(std::string_view command_line) {
  const std::string_view examined = command_line.substr(0, kCommandLineExamined);
  std::string path;
  path.reserve(examined.size());
  for (char c : examined) {
    if (c != '"') path += c;
  }
  return path;
}
