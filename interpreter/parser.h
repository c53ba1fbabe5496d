// The second phase of a run: tokens into the program model.
#pragma once

#include <ostream>

#include "program_model.h"
#include "token_reader.h"

// Reads tokens from `tokens` to the end of the source, checks the shape of
// every statement and builds `model`: program lines in source order, labels
// and variables. Variables are substituted and time fields split in the
// tokens themselves as they are read. On a reading error, or else on the
// first statement error, writes its report, clears `model` and returns
// false. A reading error anywhere in the source wins over an earlier
// statement error.
bool parse_program(TokenReader& tokens, ProgramModel& model, std::ostream& report);
