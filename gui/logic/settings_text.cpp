#include "settings_text.h"

#include <optional>

namespace {

// One line as a bounded line read gives it: up to and including the next LF,
// at most `limit` characters; nothing at the end of the text.
std::optional<std::string_view> next_line(std::string_view text, std::size_t& position,
                                          std::size_t limit) {
  if (position >= text.size()) return std::nullopt;
  std::size_t end = position;
  while (end < text.size() && end - position < limit) {
    if (text[end++] == '\n') break;
  }
  const std::string_view line = text.substr(position, end - position);
  position = end;
  return line;
}

std::string without_line_feeds_onward(std::string_view line) {
  return std::string(line.substr(0, line.find('\n')));
}

bool starts_with_true(std::string_view line) { return line.substr(0, 4) == "true"; }

}  // namespace

Settings parse_settings(std::string_view text) {
  Settings settings;
  std::size_t position = 0;
  const auto first = next_line(text, position, kSettingsLineLength);
  if (!first) return settings;
  settings.frequency = without_line_feeds_onward(*first);
  const auto second = next_line(text, position, kSettingsLineLength);
  settings.show_debug = second && starts_with_true(*second);
  return settings;
}

std::string settings_text(std::string_view frequency, bool show_debug) {
  std::string_view line = frequency.substr(0, kSettingsLineLength);
  line = line.substr(0, line.find('\r'));
  return std::string(line) + "\n" + (show_debug ? "true" : "false");
}
