// The emulated board runs its program too: when tracing is on, starting a
// board writes the first stretch of its run as a value change dump beside
// its program file, so a user can open the waveform in a viewer.
#pragma once

#include <filesystem>

// Runs board<N>.program of `folder` for `trace_ns` of board time and writes
// board<N>.vcd atomically. Returns false, writing nothing, when the program
// file is missing or unreadable or the dump cannot be written.
bool write_board_trace(const std::filesystem::path& folder, int board, double trace_ns);
