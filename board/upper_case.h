// Upper case as the words of a timing program and its time units compare:
// only 'a' to 'z' change, whatever the system's language, so that a byte of
// another alphabet is never taken for a letter of a keyword.
#pragma once

#include <string>
#include <string_view>

constexpr char upper_case(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

inline std::string upper_case(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = upper_case(c);
  return upper;
}
