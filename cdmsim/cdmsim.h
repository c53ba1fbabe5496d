// cdmsim: runs a timing program without a board, from a source file compiled
// by the interpreter or from an emulated board's memory.
#pragma once

#include <cstdio>
#include <ostream>

// Exit statuses.
constexpr int kSimRan = 0;
constexpr int kSimNotLoaded = 1;    // not compiled, or the file or board unreadable
constexpr int kSimRuntimeError = 2;
constexpr int kSimWarnings = 3;     // warnings under --strict
constexpr int kSimUsage = 64;

// The whole program: the timeline to `timeline`, messages to `messages`. The
// arguments are the command line's (see CommandLine).
int run_cdmsim(int argc, const char* const* argv, std::FILE* timeline, std::ostream& messages);
