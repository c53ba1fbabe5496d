// The run sequence on a source that is already open, from a file or from
// memory. run_interpreter opens the file and hands it here; the fuzzer and
// the benchmarks feed in-memory text through the same path.
#pragma once

#include <ostream>

#include "source_reader.h"

// Reads `source` to its end into tokens and closes it, parses, writes the
// listing when `debug_listing` is set and programs the board.
bool interpret_source(SourceReader& source, double clock_mhz, int board_number, std::ostream& report,
                      bool debug_listing);
