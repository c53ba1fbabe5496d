// What the timing view shows of a source: compiled into a board held in
// memory as Load would program a board, checked with the board's defaults
// and run without a board under the view's settings (cdmsim's horizon,
// step limit and WAIT).
// Plain computation, free of windows, so that it runs on a worker thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "instruction.h"
#include "output_labels.h"
#include "run_record.h"
#include "simulation.h"

// One line of the checks list: a warning, the runtime error or the compile
// error, and the source line it is about (0 for none) with the columns of
// its word (0 for none).
struct TimingFinding {
  std::string text;
  unsigned line = 0;
  unsigned first_column = 0;
  unsigned last_column = 0;
};

struct TimingResult {
  bool compiled = false;
  double clock_mhz = 100;
  std::vector<TimingFinding> findings;
  RunRecord record;                    // empty when not compiled
  std::vector<unsigned> source_lines;  // per instruction
  BoardProgram program;                // as run, for Save as SVG to run again
  OutputLabels labels;                 // as the source's outputs: lines name them
  SimulationSettings settings;
  std::uint64_t steps = 0;  // instructions executed
  EndReason reason = EndReason::Stop;

  // The source line of the instruction at `address`; 0 when it has none.
  unsigned line_of(std::uint32_t address) const { return address < source_lines.size() ? source_lines[address] : 0; }
};

// `text` as the source pane holds it (CR LF line ends are read as Load
// reads its temporary file), `clock_mhz` as the frequency box gives it.
TimingResult run_timing(const std::string& text, double clock_mhz, const SimulationSettings& settings);
