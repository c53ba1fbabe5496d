// The board file, board<N>.program, in which the emulator keeps a board's
// memory and from which cdmsim runs it: the clock on the first line, then
// one "output opcode data duration" line per address, numbers in their
// shortest exact form.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "instruction.h"

// The shortest text that reads back as the same double: 100, 0.5, 1e-306.
std::string shortest_text(double value);

// The first line, its line feed included.
std::string board_file_clock_line(double clock_mhz);

// Appends one instruction's line, its line feed included.
void append_board_file_line(std::string& text, const InstructionFields& instruction);

// Reads a board file. A CR before a line end and one final empty line are
// accepted; anything else, or a clock not above 0, is not, and then
// `problem` (when given) says where and why: "line 3: the opcode is missing".
std::optional<BoardProgram> parse_board_program(std::string_view text, std::string* problem = nullptr);
