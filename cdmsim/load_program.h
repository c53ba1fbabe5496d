// The program cdmsim runs: a source compiled by the interpreter into a board
// held in memory, or what an emulated board holds.
#pragma once

#include <ostream>

#include "compiled_program.h"
#include "diagnostic_output.h"
#include "sim_options.h"

// Compiles the options' source file and hands `diagnostics` the source and
// every error and warning the interpreter finds. False when it does not
// compile, or after writing to `messages` why the file cannot be read.
bool compile(const SimOptions& options, LoadedProgram& loaded, DiagnosticWriter& diagnostics,
             std::ostream& messages);

// Reads board<N>.program of the emulator's state folder. False after
// writing why it cannot be run.
bool read_board(int board, LoadedProgram& loaded, std::ostream& messages);
