// The emulated board runs its program too: when tracing is on, starting a
// board writes the first stretch of its run as a value change dump beside
// its program file, so a user can open the waveform in a viewer.
#pragma once

#include <cstdint>
#include <filesystem>

// A trace stops after this many instructions whatever time it was asked to
// cover, so that Start returns within a fraction of a second and the dump
// stays below about 15 MB.
constexpr std::uint64_t kTraceStepLimit = 100'000;

enum class TraceOutcome {
  Written,
  Cut,         // written, up to kTraceStepLimit instructions
  NotWritten,  // the program file is missing or unreadable, its clock gives
               // no finite times, or the dump cannot be written
};

// Runs board<N>.program of `folder` for `trace_ns` of board time and writes
// board<N>.vcd atomically, after removing temporary dumps that an earlier
// Start cut short (Ctrl-C) left behind.
TraceOutcome write_board_trace(const std::filesystem::path& folder, int board, double trace_ns);
