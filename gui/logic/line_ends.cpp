#include "line_ends.h"

#include <algorithm>

std::string with_crlf_line_ends(std::string_view text) {
  std::string converted;
  converted.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  return converted;
}

std::string pane_text_from_file(std::string_view bytes) {
  std::string converted;
  converted.reserve(bytes.size() + bytes.size() / 16);
  // An LF gets the CR in front of it that a CR LF line end already has.
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) converted += '\r';
    converted += bytes[i];
  }
  return converted;
}

std::string without_carriage_returns(std::string_view text) {
  std::string converted(text);
  converted.erase(std::remove(converted.begin(), converted.end(), '\r'), converted.end());
  return converted;
}
