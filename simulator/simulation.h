// The board's execution model: runs a board program instruction by
// instruction, cycle-exact, and hands each executed instruction to a sink.
// Plain computation over plain data: no files, no streams.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "instruction.h"

// Lengths are below this many cycles; a longer one is a runtime error.
constexpr std::uint64_t kCycleLimit = std::uint64_t{1} << 62;

// An instruction's own length in cycles: its duration rounded to the nearest
// cycle, at least 1. None when the duration gives no finite length below
// kCycleLimit.
std::optional<std::uint64_t> instruction_cycles(double duration_ns, double clock_mhz);

// Board time of a cycle in ns: the one formula every output uses.
inline double cycle_time_ns(std::uint64_t cycle, double clock_mhz) {
  return static_cast<double>(cycle) * 1000.0 / clock_mhz;
}

// True when every board time at this clock is a finite number of ns: one
// cycle, and the longest run the board can count. A clock that is not is
// refused before any time is computed from it.
bool clock_gives_finite_times(double clock_mhz);

// The first cycle that starts at or after `ns`; kCycleLimit past any cycle
// a run reaches.
std::uint64_t first_cycle_at(double ns, double clock_mhz);

// The stretch of a run the dump and the diagram show: cycles from `from` up
// to, not including, `to`.
struct CycleWindow {
  std::uint64_t from = 0;
  std::uint64_t to = ~std::uint64_t{0};

  // The run's end as the window shows it.
  std::uint64_t clip(std::uint64_t cycle) const { return cycle < to ? cycle : to; }
  // What the window shows of a run that ended at `end_cycle`: never
  // nothing, but the run's last cycle for a window at or past its end (its
  // first for a run of none).
  CycleWindow shown(std::uint64_t end_cycle) const;
};

// The deepest loop and subroutine nesting a board can be set to hold.
constexpr std::uint64_t kLongestNesting = 65536;

struct SimulationSettings {
  double until_ns = 1e9;                // nothing starts at or after this time
  std::uint64_t max_steps = 10'000'000;  // instructions executed at most
  double wait_ns = 0;                   // how long each WAIT waits for its trigger
  std::uint64_t depth = 8;              // frames each of the loop and call stacks holds
};

// One executed instruction.
struct Step {
  std::uint64_t cycle = 0;   // start cycle
  std::uint64_t cycles = 0;  // length, LONG_DELAY's product and WAIT's wait included
  std::uint32_t address = 0;
  std::uint32_t outputs = 0;  // 24 bits
  std::int32_t opcode = 0;
  std::int32_t data = 0;
  bool jumps_back = false;  // an END_LOOP going round its loop again
};

class StepSink {
 public:
  virtual ~StepSink() = default;
  virtual void step(const Step& step) = 0;
};

enum class EndReason { Stop, Horizon, StepLimit, Error };

struct RunEnd {
  EndReason reason = EndReason::Stop;
  std::uint64_t cycle = 0;  // the cycle the run ended at
  std::uint64_t steps = 0;  // instructions executed
  // For an error: what went wrong, and the address of the instruction at
  // fault (none when an empty program runs off its end at once).
  std::string error;
  std::optional<std::uint32_t> error_address;
  std::vector<bool> reached;  // per address: executed at least once
};

RunEnd simulate(const BoardProgram& program, const SimulationSettings& settings, StepSink& sink);

// "stop", "horizon", "step limit", "error".
std::string_view end_reason_text(EndReason reason);

// The part of a run that ended at `end` shown by a dump or a diagram of
// `window`, when it is not the whole run: "shown: 2us to 5us"; empty when
// it is.
std::string shown_text(const RunEnd& end, const CycleWindow& window, double clock_mhz);

// "<steps> instructions in <time>; ended: <reason> at cycle <cycle>", then
// "; shown: <from> to <to>" for a window that is not the whole run, as the
// diagram's title sums a run up.
std::string run_summary(std::uint64_t steps, const RunEnd& end, double clock_mhz, const CycleWindow& window = {});
