// The settings file interpreter.cfg: the clock frequency typed into the
// frequency box on the first line, "true" or "false" for the debug option on
// the second. Texts here are as read or written in text mode (LF line ends).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr char kDefaultFrequency[] = "100.0";
// Longest frequency text kept, in the file and from the box.
inline constexpr std::size_t kSettingsLineLength = 255;

struct Settings {
  std::string frequency = kDefaultFrequency;
  bool show_debug = false;
};

// Reads the file's text the way the program always has: each line is read
// as at most 255 characters, the line end dropped; the option is on when the
// second line begins with the four letters "true" exactly. An empty file
// gives the defaults.
Settings parse_settings(std::string_view text);

// The file's text: the frequency (at most 255 characters, cut at its first
// CR), an LF, then "true" or "false", with no line end after it.
std::string settings_text(std::string_view frequency, bool show_debug);
