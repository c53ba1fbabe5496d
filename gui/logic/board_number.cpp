#include "board_number.h"

#include <charconv>
#include <climits>

namespace {

std::string changed_line(int board_number) {
  return "Board number changed to " + std::to_string(board_number) + "\r\n";
}

}  // namespace

// An unsigned number takes no sign and no blank, and from_chars refuses one
// too large for it.
std::optional<int> board_number_from_text(std::string_view text) {
  const char* end = text.data() + text.size();
  unsigned number = 0;
  const auto [stop, error] = std::from_chars(text.data(), end, number);
  if (error != std::errc() || stop != end || number > INT_MAX) return std::nullopt;
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
