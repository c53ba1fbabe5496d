// A board program as the board holds it: numbered instructions of four
// fields and the clock they run at. The simulator runs this plain data, from
// whichever source it came: a compiled file or an emulated board's memory.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

struct BoardInstruction {
  std::uint32_t output_value = 0;  // bits 0-23 drive the outputs
  std::int32_t opcode = 0;
  std::int32_t data = 0;
  double duration_ns = 0;
};

struct BoardProgram {
  double clock_mhz = 100;
  std::vector<BoardInstruction> instructions;  // the index is the address
};

// Reads the emulator's board file: the clock (above 0) on the first line,
// then one "output opcode data duration" line per address. A CR before a
// line end and one final empty line are accepted; anything else is not.
std::optional<BoardProgram> parse_board_program(std::string_view text);
