// The one seam through which a program reaches a board: every operation of
// the board library, with its meaning and results. The board library itself
// (library_board) is what cdmcli and cdmgui program; cdmsim programs a board
// held in memory.
#pragma once

#include <cstddef>
#include <functional>

#include "instruction.h"

class Board {
 public:
  virtual ~Board() = default;
  // Selects the board that later connections address. 0: selected.
  virtual int select_board(int /*board_number*/) { return 0; }
  // 0: the board is open; anything else: there is no board.
  virtual int init() = 0;
  virtual int close() = 0;
  // Starts or stops the program held in board memory.
  virtual int start() { return 0; }
  virtual int stop() { return 0; }
  // The board library's version text; never null.
  virtual const char* version() { return ""; }
  // Bits 8-15 and 0-7 are the firmware's major and minor numbers.
  virtual int firmware_id() { return 0; }
  virtual int set_debug(int /*enable*/) { return 0; }
  virtual int core_clock(double clock_mhz) = 0;
  // Opens programming; instructions written afterwards fill consecutive
  // addresses from 0.
  virtual int start_programming(int mode) = 0;
  // How many instructions the programming that was opened will write, for a
  // board that keeps them in memory; the board library has no such call.
  virtual void expect_instructions(std::size_t /*count*/) {}
  // The instruction's address, or a negative value when it was not written
  // (error() then says why).
  virtual int write_instruction(const InstructionFields& instruction) = 0;
  virtual int stop_programming() = 0;
  // Why the last operation failed; empty when none did.
  virtual const char* error() = 0;
};

// What a program says when the board does not open.
inline constexpr char kCadmoraBoardNotFound[] = "Cadmora board not found.";

// One connection: opens `board`, runs `command` on it (a callable taking the
// Board&, or a Board member such as &Board::start) and closes it again.
// False, with nothing run and nothing closed, when the board does not open.
template <typename Command>
bool with_open_board(Board& board, Command&& command) {
  if (board.init() != 0) return false;
  std::invoke(command, board);
  board.close();
  return true;
}
