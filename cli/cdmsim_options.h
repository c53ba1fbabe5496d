// cdmsim's command line.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

struct SimOptions {
  std::string file;          // the source to compile, or empty with `board`
  std::optional<int> board;  // run what this emulated board holds
  std::optional<double> clock_mhz;
  double until_ns = 1e9;
  std::uint64_t max_steps = 10'000'000;
  double wait_ns = 0;
  std::uint64_t min_cycles = 5;
  std::uint64_t depth = 8;
  std::uint64_t memory = 32768;
  std::string vcd;  // file names, empty for none
  std::string svg;
  bool quiet = false;
  bool check = false;
  bool strict = false;
  bool listing = false;
  bool help = false;
  bool version = false;
};

// Reads the arguments after the program name. Options stand before or after
// the file, as "--name VALUE" or "--name=VALUE"; a repeated one keeps its
// last value. Returns false with a one-line `error` on a usage error.
bool parse_sim_options(int argc, const char* const* argv, SimOptions& options, std::string& error);

void write_sim_usage(std::ostream& out);
