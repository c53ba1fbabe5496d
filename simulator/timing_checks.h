// Timing faults a board program shows before it runs, and the instructions
// a run never reached.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "diagnostic.h"
#include "instruction.h"
#include "simulation.h"

struct CheckSettings {
  std::uint64_t min_cycles = 5;  // shortest instruction the board runs
  std::uint64_t memory = 32768;  // instructions the board holds
};

struct TimingWarning {
  std::uint32_t address = 0;  // the instruction the warning is about
  std::string text;
  Category category = Category::Rounding;
  unsigned field = 0;  // the field of the instruction's source line it is about: 0 pattern, 1 time, 3 data
};

// One warning per fault, in address order, each handed to `found` as it is
// found, so that a long program's warnings are never all held at once.
void check_timing(const BoardProgram& program, const CheckSettings& settings,
                  const std::function<void(TimingWarning)>& found);
std::vector<TimingWarning> check_timing(const BoardProgram& program, const CheckSettings& settings);

// Where an instruction sits, for messages: "line 7" from its source line, or
// "address 6" when the program came without source lines.
std::string instruction_place(std::uint32_t address, const std::vector<unsigned>& source_lines);

// The never-reached instructions as ranges, "lines 4-6, 9" (or "addresses
// ..." without source lines); empty when every instruction ran.
std::string unreached_ranges(const std::vector<bool>& reached, const std::vector<unsigned>& source_lines);

// The warning a run's end gives about the instructions it did not reach, as
// far as it went ("not reached within 1s: lines 4-6" for a run cut short at
// the horizon or the step limit, "never reached: ..." otherwise), with the
// first such instruction; none when every instruction ran. The instruction
// that failed counts as reached.
struct UnreachedWarning {
  std::uint32_t first_address = 0;
  std::string text;
};
std::optional<UnreachedWarning> unreached_warning(const RunEnd& end, const SimulationSettings& run,
                                                  const std::vector<unsigned>& source_lines);

// A runtime error with its place, "line 7: what went wrong"; the bare
// message when it has no instruction.
std::string runtime_error_text(const RunEnd& end, const std::vector<unsigned>& source_lines);
