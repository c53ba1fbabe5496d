// The second phase of a run: tokens into the program model.
#pragma once

#include <optional>
#include <ostream>
#include <vector>

#include "diagnostic.h"

#include "program_model.h"
#include "token_reader.h"

// Reads tokens from `tokens` to the end of the source, checks the shape of
// every statement and builds `model`: program lines in source order, labels
// and variables. Variables are substituted and time fields split in the
// tokens themselves as they are read. On a reading error, or else on the
// first statement error, writes its report, clears `model` and returns
// false. A reading error anywhere in the source wins over an earlier
// statement error.
//
// With `all`, an error ends only its line: the parse goes on at the next
// one, every error is added to `all` in line order and `model` keeps the
// statements that parsed; the report still shows the one error Load shows.
// `reported`, if given, receives the record of the error the report shows.
bool parse_program(TokenReader& tokens, ProgramModel& model, std::ostream& report,
                   std::vector<Diagnostic>* all = nullptr, std::optional<Diagnostic>* reported = nullptr);
