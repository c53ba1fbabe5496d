// The board's own facts: its outputs, its command numbers and names, one
// instruction as the board holds it, and a program with its clock. The
// interpreter writes these, the emulator keeps them, the simulator runs them.
#pragma once

#include <cstdint>
#include <iterator>
#include <string_view>
#include <vector>

// The board drives bits 0 to 23 of an instruction's output value.
inline constexpr int kOutputCount = 24;
inline constexpr std::uint32_t kOutputMask = (std::uint32_t{1} << kOutputCount) - 1;

// The opcode field of every instruction in board memory.
enum class Opcode : std::int32_t {
  Continue = 0,
  Stop = 1,
  Loop = 2,
  EndLoop = 3,
  Jsr = 4,
  Rts = 5,
  Branch = 6,
  LongDelay = 7,
  Wait = 8,
};

struct OpcodeKeyword {
  std::string_view keyword;
  Opcode opcode;
};

// The command words, in opcode order; the language compares them exactly.
inline constexpr OpcodeKeyword kOpcodeKeywords[] = {
    {"CONTINUE", Opcode::Continue}, {"STOP", Opcode::Stop},
    {"LOOP", Opcode::Loop},         {"END_LOOP", Opcode::EndLoop},
    {"JSR", Opcode::Jsr},           {"RTS", Opcode::Rts},
    {"BRANCH", Opcode::Branch},     {"LONG_DELAY", Opcode::LongDelay},
    {"WAIT", Opcode::Wait},
};

// CONTINUE ... WAIT, or the empty view for an opcode outside 0-8.
constexpr std::string_view opcode_keyword(std::int32_t opcode) {
  if (opcode < 0 || opcode >= static_cast<std::int32_t>(std::size(kOpcodeKeywords))) return {};
  return kOpcodeKeywords[opcode].keyword;
}
constexpr std::string_view opcode_keyword(Opcode opcode) { return opcode_keyword(static_cast<std::int32_t>(opcode)); }

// The four numbers of one board instruction, in the order the board
// library's instruction call takes them.
struct InstructionFields {
  std::uint32_t output_value = 0;  // bits 0-23 drive the outputs
  std::int32_t opcode = 0;         // an Opcode value
  std::int32_t data = 0;           // count, or instruction index for JSR, BRANCH, END_LOOP
  double duration_ns = 0;
};

// A program as the board holds it: the instructions, whose index is their
// address, and the clock they run at.
struct BoardProgram {
  double clock_mhz = 100;
  std::vector<InstructionFields> instructions;
};
