// The command-line loader: one Load, Start or Stop per run.
#pragma once

// Carries out the command named on the command line, writing to standard
// output, and returns the program's exit status: 0, or -1 when the board is
// missing or a Load fails.
int run_command_line(int argc, const char* const* argv);
