// The last phase of a run: one board instruction per program line.
#pragma once

#include <ostream>

#include "interpreter.h"
#include "program_model.h"

// Opens the options' board, sets its clock, converts and writes every line
// of `model` in order, then ends programming and closes the board again, on
// failure too. Returns true only when every line was written; a bad value
// that stopped it is described in `bad_value`. This is the lines' last use:
// their storage is freed as they are written.
bool program_board(ProgramModel& model, const InterpreterOptions& options, std::ostream& report,
                   std::optional<Diagnostic>& bad_value);
