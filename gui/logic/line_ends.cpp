#include "line_ends.h"

std::string with_crlf_line_ends(std::string_view text) {
  std::string converted;
  converted.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  return converted;
}

std::string without_carriage_returns(std::string_view text) {
  std::string converted;
  converted.reserve(text.size());
  for (char c : text) {
    if (c != '\r') converted += c;
  }
  return converted;
}
