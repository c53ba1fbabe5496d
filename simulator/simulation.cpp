#include "simulation.h"

#include <cmath>

#include "time_text.h"

namespace {

constexpr std::uint64_t kNoLength = ~std::uint64_t{0};
// Board time is kept below this, so that adding a length never overflows.
constexpr std::uint64_t kTimeLimit = std::uint64_t{1} << 63;

struct LoopFrame {
  std::int64_t start;
  std::int64_t remaining;
};

std::string address_text(std::int64_t address) { return "address " + std::to_string(address); }

// The running board: where it is, what it has open, and how the run ended.
class RunningBoard {
 public:
  RunningBoard(const BoardProgram& program, const SimulationSettings& settings, StepSink& sink)
      : program_(program), settings_(settings), sink_(sink) {
    const auto& instructions = program.instructions;
    lengths_.reserve(instructions.size());
    for (const InstructionFields& instruction : instructions)
      lengths_.push_back(instruction_cycles(instruction.duration_ns, program.clock_mhz).value_or(kNoLength));
    const double wait = std::floor(settings.wait_ns * program.clock_mhz / 1000 + 0.5);
    wait_cycles_ = wait >= 0 && wait < static_cast<double>(kCycleLimit) ? static_cast<std::uint64_t>(wait) : kNoLength;
    end_.reached.assign(instructions.size(), false);
  }

  RunEnd run() {
    while (execute_next()) {
    }
    return std::move(end_);
  }

 private:
  // Runs one instruction; false once the run has ended.
  bool execute_next() {
    const auto count = static_cast<std::int64_t>(program_.instructions.size());
    if (address_ < 0 || address_ >= count) return outside_program(count);
    if (cycle_time_ns(cycle_, program_.clock_mhz) >= settings_.until_ns) return finish(EndReason::Horizon);
    if (end_.steps == settings_.max_steps) return finish(EndReason::StepLimit);

    const InstructionFields& instruction = program_.instructions[static_cast<size_t>(address_)];
    std::uint64_t cycles = 0;
    if (!full_length(instruction, lengths_[static_cast<size_t>(address_)], cycles)) return false;

    const std::int64_t here = address_;
    Step step{cycle_, cycles, static_cast<std::uint32_t>(here), instruction.output_value & kOutputMask,
              instruction.opcode, instruction.data};
    last_address_ = here;
    const bool back_here = came_back_to_ == here;
    came_back_to_ = -1;
    std::string error = transfer(instruction, back_here, step.jumps_back);

    end_.reached[static_cast<size_t>(here)] = true;
    ++end_.steps;
    cycle_ += cycles;
    sink_.step(step);
    if (!error.empty()) return fail(std::move(error), here);
    if (instruction.opcode == static_cast<std::int32_t>(Opcode::Stop)) return finish(EndReason::Stop);
    return true;
  }

  // The instruction's length with LONG_DELAY's count and WAIT's wait; false
  // after ending the run when there is no such length.
  bool full_length(const InstructionFields& instruction, std::uint64_t own, std::uint64_t& cycles) {
    if (own == kNoLength)
      return fail("its duration (" + short_number(instruction.duration_ns) +
                      " ns) gives no length the board runs: not finite, or 2^62 cycles or more",
                  address_);
    cycles = own;
    const auto opcode = static_cast<Opcode>(instruction.opcode);
    if (opcode == Opcode::LongDelay) {
      if (instruction.data <= 0)
        return fail(std::string(opcode_keyword(Opcode::LongDelay)) + " count " + std::to_string(instruction.data) + " is not above 0", address_);
      if (own >= kCycleLimit / static_cast<std::uint64_t>(instruction.data))
        return fail(std::string(opcode_keyword(Opcode::LongDelay)) + " lasts 2^62 cycles or more", address_);
      cycles = own * static_cast<std::uint64_t>(instruction.data);
    } else if (opcode == Opcode::Wait) {
      if (wait_cycles_ == kNoLength || own + wait_cycles_ >= kCycleLimit)
        return fail(std::string(opcode_keyword(Opcode::Wait)) + " with its wait lasts 2^62 cycles or more", address_);
      cycles = own + wait_cycles_;
    }
    if (cycles >= kTimeLimit - cycle_) return fail("board time passes 2^63 cycles", address_);
    return true;
  }

  // Moves to the next address as the instruction says; returns the runtime
  // error it meets, or an empty text. Every command but a jump, a return and
  // a loop going round goes on to the next address, and so does one that fails.
  std::string transfer(const InstructionFields& instruction, bool back_here, bool& jumps_back) {
    const std::int64_t here = address_;
    address_ = here + 1;
    switch (static_cast<Opcode>(instruction.opcode)) {
      case Opcode::Continue:
      case Opcode::Stop:
      case Opcode::LongDelay:
      case Opcode::Wait:
        return {};
      case Opcode::Loop:
        if (back_here) return {};
        if (instruction.data <= 0) return std::string(opcode_keyword(Opcode::Loop)) + " count " + std::to_string(instruction.data) + " is not above 0";
        if (loops_.size() >= settings_.depth) return too_deep(opcode_keyword(Opcode::Loop));
        loops_.push_back({here, instruction.data});
        return {};
      case Opcode::EndLoop:
        return end_loop(instruction.data, jumps_back);
      case Opcode::Jsr:
        if (calls_.size() >= settings_.depth) return too_deep(opcode_keyword(Opcode::Jsr));
        calls_.push_back(address_);
        address_ = instruction.data;
        return {};
      case Opcode::Rts:
        if (calls_.empty()) return std::string(opcode_keyword(Opcode::Rts)) + " with no subroutine call open";
        address_ = calls_.back();
        calls_.pop_back();
        return {};
      case Opcode::Branch:
        address_ = instruction.data;
        return {};
    }
    return "unknown command OP" + std::to_string(instruction.opcode);
  }

  std::string end_loop(std::int32_t start, bool& jumps_back) {
    if (loops_.empty()) return std::string(opcode_keyword(Opcode::EndLoop)) + " closes the loop at " + address_text(start) + ", but no loop is open";
    LoopFrame& frame = loops_.back();
    if (frame.start != start)
      return std::string(opcode_keyword(Opcode::EndLoop)) + " closes the loop at " + address_text(start) + ", but the innermost open loop starts at " +
             address_text(frame.start);
    if (--frame.remaining > 0) {
      address_ = start;
      came_back_to_ = start;
      jumps_back = true;
      return {};
    }
    loops_.pop_back();
    return {};
  }

  std::string too_deep(std::string_view command) const {
    return std::string(command) + " nests deeper than the " + std::to_string(settings_.depth) +
           " levels the board holds";
  }

  bool outside_program(std::int64_t count) {
    if (count == 0) return fail("the program is empty", std::nullopt);
    return fail("goes to " + address_text(address_) + ", outside the program of " + std::to_string(count) +
                    " instructions",
                last_address_);
  }

  // Ends the run at the current cycle.
  bool finish(EndReason reason) {
    end_.reason = reason;
    end_.cycle = cycle_;
    return false;
  }

  bool fail(std::string message, std::optional<std::int64_t> address) {
    end_.error = std::move(message);
    if (address) end_.error_address = static_cast<std::uint32_t>(*address);
    return finish(EndReason::Error);
  }

  const BoardProgram& program_;
  const SimulationSettings& settings_;
  StepSink& sink_;
  std::vector<std::uint64_t> lengths_;
  std::uint64_t wait_cycles_ = 0;

  std::int64_t address_ = 0;
  std::int64_t last_address_ = 0;
  std::uint64_t cycle_ = 0;
  std::int64_t came_back_to_ = -1;  // where the last END_LOOP jumped back to
  std::vector<LoopFrame> loops_;
  std::vector<std::int64_t> calls_;  // return addresses
  RunEnd end_;
};

}  // namespace

std::optional<std::uint64_t> instruction_cycles(double duration_ns, double clock_mhz) {
  const double cycles = std::floor(duration_ns * clock_mhz / 1000 + 0.5);
  if (!std::isfinite(cycles) || cycles >= static_cast<double>(kCycleLimit)) return std::nullopt;
  if (cycles < 1) return 1;
  return static_cast<std::uint64_t>(cycles);
}

std::uint64_t first_cycle_at(double ns, double clock_mhz) {
  const double cycles = std::ceil(ns * clock_mhz / 1000);
  if (!(cycles < static_cast<double>(kCycleLimit))) return kCycleLimit;
  auto cycle = static_cast<std::uint64_t>(std::fmax(cycles, 0));
  // The product may round up past a cycle whose time is already `ns`.
  while (cycle > 0 && cycle_time_ns(cycle - 1, clock_mhz) >= ns) --cycle;
  return cycle;
}

bool clock_gives_finite_times(double clock_mhz) {
  return clock_mhz > 0 && std::isfinite(clock_mhz) && std::isfinite(cycle_time_ns(kTimeLimit, clock_mhz));
}

RunEnd simulate(const BoardProgram& program, const SimulationSettings& settings, StepSink& sink) {
  return RunningBoard(program, settings, sink).run();
}

std::string_view end_reason_text(EndReason reason) {
  // In the order EndReason names them.
  constexpr std::string_view kTexts[] = {"stop", "horizon", "step limit", "error"};
  return kTexts[static_cast<int>(reason)];
}

CycleWindow CycleWindow::shown(std::uint64_t end_cycle) const {
  const std::uint64_t last = clip(end_cycle);
  if (from < last) return {from, last};
  return last > 0 ? CycleWindow{last - 1, last} : CycleWindow{0, 1};
}

std::string shown_text(const RunEnd& end, const CycleWindow& window, double clock_mhz) {
  if (window.from == 0 && window.to >= end.cycle) return {};
  const CycleWindow shown = window.shown(end.cycle);
  return "shown: " + time_text(cycle_time_ns(shown.from, clock_mhz)) + " to " +
         time_text(cycle_time_ns(shown.to, clock_mhz));
}

std::string run_summary(std::uint64_t steps, const RunEnd& end, double clock_mhz, const CycleWindow& window) {
  const std::string shown = shown_text(end, window, clock_mhz);
  return std::to_string(steps) + " instructions in " + time_text(cycle_time_ns(end.cycle, clock_mhz)) +
         "; ended: " + std::string(end_reason_text(end.reason)) + " at cycle " + std::to_string(end.cycle) +
         (shown.empty() ? "" : "; " + shown);
}
