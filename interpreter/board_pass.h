// The last phase of a run: one board instruction per program line.
#pragma once

#include <ostream>

#include "interpreter.h"

// Opens the board, sets its clock, converts and writes every line of
// `model` in order, then ends programming and closes the board again, on
// failure too. Returns true only when every line was written; `board_number`
// serves only in the closing message.
bool program_board(const ProgramModel& model, double clock_mhz, int board_number, bool debug_listing,
                   std::ostream& report);
