#include "command_line_path.h"

#include <algorithm>

namespace {

std::string without_quotes(std::string_view command_line) {
  std::string path(command_line);
  path.erase(std::remove(path.begin(), path.end(), '"'), path.end());
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
