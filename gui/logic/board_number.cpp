#include "board_number.h"

#include <climits>

namespace {

bool is_decimal_digit(char c) { return c >= '0' && c <= '9'; }

std::string changed_line(int board_number) {
  return "Board number changed to " + std::to_string(board_number) + "\r\n";
}

}  // namespace

std::optional<int> board_number_from_text(std::string_view text) {
  if (text.empty()) return std::nullopt;
  long long number = 0;
  for (char c : text) {
    if (!is_decimal_digit(c)) return std::nullopt;
    number = number * 10 + (c - '0');
    if (number > INT_MAX) return std::nullopt;
  }
  return static_cast<int>(number);
}

std::string board_changed_report(int board_number, int firmware_id) {
  const int high = (firmware_id >> 8) & 0xFF;
  const int low = firmware_id & 0xFF;
  return changed_line(board_number) + "Firmware ID: " + std::to_string(high) + "-" +
         std::to_string(low);
}

std::string board_unopened_report(int board_number) {
  return changed_line(board_number) + "Error initializing board";
}
