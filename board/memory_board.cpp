#include "memory_board.h"

int MemoryBoard::core_clock(double clock_mhz) {
  program_.clock_mhz = clock_mhz;
  return 0;
}

int MemoryBoard::start_programming(int) {
  program_.instructions.clear();
  return 0;
}

int MemoryBoard::write_instruction(const InstructionFields& instruction) {
  program_.instructions.push_back(instruction);
  return static_cast<int>(program_.instructions.size() - 1);
}
