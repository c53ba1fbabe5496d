// cdmsim's command line: the options, their defaults and the usage text,
// all from one table.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "diagnostic_output.h"
#include "simulation.h"
#include "timing_checks.h"
#include "vcd_timescale.h"

struct SimOptions {
  std::filesystem::path file;  // the source to compile, or empty with `board`
  std::optional<int> board;  // run what this emulated board holds
  double clock_mhz = 100;    // the clock to compile at; a board's file holds its own
  bool clock_given = false;
  SimulationSettings run;  // how the board runs: horizon, step limit, WAIT, nesting
  CheckSettings checks;    // what the timing checks hold the program to
  double from_ns = 0;      // where the dump and the diagram start; they end at the horizon
  std::filesystem::path vcd;  // output files, empty for none
  std::filesystem::path svg;
  std::optional<VcdTimescale> timescale;  // the dump's unit; none for the coarsest exact one
  bool quiet = false;
  bool check = false;
  bool strict = false;  // a name for -Werror
  WarningSwitches warnings;
  DiagnosticsFormat format = DiagnosticsFormat::Text;
  bool listing = false;
  bool help = false;
  bool version = false;
};

// Reads the arguments after the program name, file names in UTF-8 (see
// CommandLine). Options stand before or after the file, as "--name VALUE" or
// "--name=VALUE"; a repeated one keeps its last value. Returns false with a
// one-line `error`, quoting the arguments as they came, on a usage error.
bool parse_sim_options(int argc, const char* const* argv, SimOptions& options, std::string& error);

// The usage text, each default read from a default SimOptions.
std::string sim_usage();
