// The second phase of a run: tokens into the program model.
#pragma once

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "program_model.h"
#include "token_reader.h"

// What a stretch of source that begins further on than the first line
// takes over from the lines before it.
struct StretchStart {
  // What an error quotes as the token before the stretch's first one.
  SourceToken before{TokenKind::Word, "Start of File", 1, 1};
  // The declarations made before the stretch, name and value, in source
  // order.
  std::vector<std::pair<std::string, std::string>> variables;
};

enum class StretchEnd { Parsed, StatementError, ReadingError };

// Reads tokens from `tokens` to the end of the source, or of the stretch of
// it the reader has, checks the shape of every statement and builds `model`:
// program lines in source order, labels and variables. Variables are
// substituted and time fields split in the tokens themselves as they are
// read. On a reading error, or else on the first statement error, writes its
// report to `held_report`, clears `model` and says which kind of failure it
// was. A reading error anywhere in the stretch still wins over an earlier
// statement error.
StretchEnd parse_stretch(TokenReader& tokens, const StretchStart& start, ProgramModel& model,
                         std::ostream& held_report);
