// The second phase of a run: tokens into the program model.
#pragma once

#include <ostream>

#include "interpreter.h"

// Checks the shape of every statement and builds `model`: program lines in
// source order, labels and variables. Variables are substituted and time
// fields split in the tokens themselves as they are read. The sequence is
// used up: the storage of tokens passed is released on the way. At the
// first error writes its report, clears `model` and returns false. `tokens`
// must end with its EndOfFile token.
bool parse_program(TokenSequence& tokens, ProgramModel& model, std::ostream& report);
