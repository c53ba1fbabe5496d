#include "command_line_path.h"

namespace {

std::string without_quotes(std::string_view command_line) {
  std::string path;
  path.reserve(command_line.size());
  for (char c : command_line) {
    if (c != '"') path += c;
  }
  return path;
}

}  // namespace

std::optional<std::string> command_line_path(std::string_view command_line) {
  std::string path = without_quotes(command_line);
  if (path.size() > kLongestCommandLinePath) return std::nullopt;
  return path;
}

std::string command_line_shown(std::string_view command_line) {
  const std::string path = without_quotes(command_line);
  if (path.size() <= kLongestCommandLinePath) return path;
  return path.substr(0, kLongestCommandLinePath) + "...";
}
