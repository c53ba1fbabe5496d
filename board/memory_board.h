// A board that lives in cdmsim's memory: it takes the board library's
// operations, so the interpreter's programming pass compiles a source into
// it exactly as Load writes a real board, and keeps what was written.
#pragma once

#include "board_program.h"

// The clock and instructions of the latest programming.
BoardProgram& memory_board_program();
