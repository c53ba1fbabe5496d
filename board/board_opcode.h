// The board's command numbers: the opcode field of every instruction in
// board memory. The interpreter writes them; the simulator executes them.
#pragma once

#include <cstdint>

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
