// A source compiled by the interpreter into a board held in memory, as
// cdmsim and libcadmora run it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "diagnostic_output.h"
#include "instruction.h"
#include "output_labels.h"
#include "simulation.h"
#include "timing_checks.h"
#include "vcd_timescale.h"

// A program to run, and each address's source line (none for a board).
struct LoadedProgram {
  BoardProgram program;
  std::vector<unsigned> source_lines;
  // With CompileSettings::labels: each label's name and address.
  std::vector<std::pair<std::string, std::uint32_t>> labels;
  OutputLabels outputs;  // as the source's outputs: lines name them

  // The source line of `address`; 0 for none.
  unsigned line_of(std::uint32_t address) const { return address < source_lines.size() ? source_lines[address] : 0; }
};

// Reads a whole program, or a board file, once: a named pipe can be read
// only once, and the error line is quoted from what was read. False with
// `problem`, "cannot open NAME: why" or "cannot read NAME: why".
bool read_program(const std::filesystem::path& file, std::string& text, std::string& problem);

struct CompileSettings {
  double clock_mhz = 100;
  bool listing = false;  // the listing, as Load writes it, to `listing_out`
  bool labels = false;   // the labels' addresses into LoadedProgram::labels
};

// Compiles `text` and hands `diagnostics` the source and every error and
// warning the interpreter and the outputs' names find. False when it does not compile.
bool compile_program(std::string text, const CompileSettings& settings, LoadedProgram& loaded,
                     DiagnosticWriter& diagnostics, std::ostream& listing_out);

// A finding about the instruction at `address` (none for the run as a
// whole), at its source line or, for a program from a board, named by its
// address.
Diagnostic about_instruction(std::optional<std::uint32_t> address, const LoadedProgram& loaded, Severity severity,
                             Category category, unsigned field, std::string message);

// Hands `diagnostics` the timing checks' warnings, one by one.
void add_timing_findings(const LoadedProgram& loaded, const CheckSettings& checks, DiagnosticWriter& diagnostics);

// Hands `diagnostics` the warning for a dump in `timescale` when that unit
// cannot place every edge of the program's clock.
void add_timescale_finding(const VcdTimescale& timescale, const LoadedProgram& loaded, DiagnosticWriter& diagnostics);

// Hands `diagnostics` what the run's end shows: the instructions it did not
// reach, then the runtime error that ended it.
void add_run_findings(const RunEnd& end, const SimulationSettings& run, const LoadedProgram& loaded,
                      DiagnosticWriter& diagnostics);

// Hands `diagnostics` the warning for a dump and a diagram that would start
// at `from_ns`, at or past the run's end, and so show only its last cycle.
void add_window_finding(const RunEnd& end, double from_ns, const LoadedProgram& loaded, DiagnosticWriter& diagnostics);
