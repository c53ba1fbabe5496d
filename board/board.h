// The one seam through which loading a program reaches a board: the
// operations the interpreter's programming pass calls, with the board
// library's meaning and results. The board library itself (library_board)
// is what cdmcli and cdmgui program; cdmsim programs a board held in memory.
#pragma once

#include "instruction.h"

class Board {
 public:
  virtual ~Board() = default;
  // 0: the board is open; anything else: there is no board.
  virtual int init() = 0;
  virtual int close() = 0;
  virtual int core_clock(double clock_mhz) = 0;
  // Opens programming; instructions written afterwards fill consecutive
  // addresses from 0.
  virtual int start_programming(int mode) = 0;
  // The instruction's address, or a negative value when it was not written
  // (error() then says why).
  virtual int write_instruction(const InstructionFields& instruction) = 0;
  virtual int stop_programming() = 0;
  // Why the last operation failed; empty when none did.
  virtual const char* error() = 0;
};
