// Helpers that let a test write a source one line per string literal and
// run the interpreter on it in memory.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// The lines, each ended by a line feed.
std::string source_lines(std::initializer_list<std::string_view> lines);

struct InterpreterRun {
  bool succeeded = false;
  std::string report;
};

// The whole run sequence on `text`, against the recording board.
InterpreterRun interpret_text(std::string_view text, bool debug_listing = true, double clock_mhz = 100,
                              int board_number = 0);
