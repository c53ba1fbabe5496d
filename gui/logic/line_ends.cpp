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

std::string pane_text_from_file(std::string_view bytes) {
  std::string converted;
  converted.reserve(bytes.size() + bytes.size() / 16);
  for (size_t i = 0; i < bytes.size(); ++i) {
    const bool line_end = bytes[i] == '\n' || (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n');
    if (!line_end) {
      converted += bytes[i];
      continue;
    }
    converted += "\r\n";
    if (bytes[i] == '\r') ++i;
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
