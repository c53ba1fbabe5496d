// The timing-program interpreter's one entry.
#pragma once

#include <ostream>

// Reads the source file, checks it, optionally lists what it understood and
// writes one board instruction per program line through the board library.
// Every message goes to `report`. Returns true only when every line has been
// written to the board.
bool run_interpreter(double clock_mhz, int board_number, const char* source_path,
                     std::ostream& report, bool debug_listing);
