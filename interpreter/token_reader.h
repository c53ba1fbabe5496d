// The first phase of a run: source bytes into tokens.
#pragma once

#include <ostream>
#include <string_view>

#include "interpreter.h"
#include "source_reader.h"

// Reads `source` from its current position to its end into `tokens`, which
// then end with the EndOfFile token. On a character that can start nothing it
// writes the two-line reading error to `report`, empties `tokens` and returns
// false.
bool read_tokens(SourceReader& source, TokenSequence& tokens, std::ostream& report);

// A token text as messages show it: a line end reads "End of Line" and the
// end of the file "End of File"; any other text is itself.
std::string_view token_display_text(std::string_view text);
