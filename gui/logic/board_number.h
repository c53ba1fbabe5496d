// The board number box's text and the reports of board selection.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The number a non-empty box names: decimal digits only (no sign, no blank),
// read as a decimal int. Nothing for any other character, and nothing for a
// number too large for an int, which no board can have.
std::optional<int> board_number_from_text(std::string_view text);

inline constexpr char kBoardNotFound[] = "Board number not found \n\n";

// "Board number changed to N\r\nFirmware ID: high-low", the high and low
// numbers being bits 8-15 and 0-7 of the identifier.
std::string board_changed_report(int board_number, int firmware_id);

// "Board number changed to N\r\nError initializing board".
std::string board_unopened_report(int board_number);
