// The run sequence on a source that is already open, from a file or from
// memory. run_interpreter opens the file and hands it here; the fuzzer and
// the benchmarks feed in-memory text through the same path.
#pragma once

#include <ostream>
#include <vector>

#include "source_reader.h"

// Reads and parses `source` to its end and closes it, writes the listing
// when `debug_listing` is set and programs the board. When
// `instruction_lines` is given, it receives the source line of every program
// line once parsing has succeeded, in instruction order.
bool interpret_source(SourceReader& source, double clock_mhz, int board_number, std::ostream& report,
                      bool debug_listing, std::vector<unsigned>* instruction_lines = nullptr);

// run_interpreter, also handing back each instruction's source line as
// interpret_source does.
bool interpret_file(const char* source_path, double clock_mhz, int board_number, std::ostream& report,
                    bool debug_listing, std::vector<unsigned>* instruction_lines);
