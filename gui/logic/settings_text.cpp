#include "settings_text.h"

#include <algorithm>

namespace {

// One line as a bounded line read gives it: up to and including the first
// LF, at most kSettingsLineLength characters; "" for an empty text.
std::string_view first_line(std::string_view text) {
  return text.substr(0, std::min(text.find('\n'), kSettingsLineLength - 1) + 1);
}

}  // namespace

Settings parse_settings(std::string_view text) {
  Settings settings;
  if (text.empty()) return settings;
  const std::string_view first = first_line(text);
  settings.frequency = std::string(first.substr(0, first.find('\n')));
  settings.show_debug = first_line(text.substr(first.size())).substr(0, 4) == "true";
  return settings;
}

std::string settings_text(std::string_view frequency, bool show_debug) {
  std::string_view line = frequency.substr(0, kSettingsLineLength);
  line = line.substr(0, line.find('\r'));
  return std::string(line) + "\n" + (show_debug ? "true" : "false");
}
