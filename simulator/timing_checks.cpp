#include "timing_checks.h"

#include <cmath>

#include "simulation.h"
#include "time_text.h"

namespace {

std::string cycles_text(std::uint64_t cycles) {
  return std::to_string(cycles) + (cycles == 1 ? " cycle" : " cycles");
}

// The fraction of a cycle shows in the fewest decimals that keep it visible.
std::string fractional_cycles_text(double cycles) {
  std::string text;
  for (int decimals = 2; decimals <= 9; ++decimals) {
    text = short_number(cycles, decimals);
    if (text.find('.') != std::string::npos) break;
  }
  return text;
}

bool is_whole(double cycles) { return std::fabs(cycles - std::round(cycles)) <= 1e-9 * std::fmax(1.0, cycles); }

bool jumps(std::int32_t opcode) {
  const auto op = static_cast<Opcode>(opcode);
  return op == Opcode::Jsr || op == Opcode::Branch || op == Opcode::EndLoop;
}

// The faults of the instruction at `address`, handed to `found`.
void check_instruction(const BoardProgram& program, const CheckSettings& settings, std::uint32_t address,
                       const std::function<void(TimingWarning)>& found) {
  const InstructionFields& instruction = program.instructions[address];
  const auto warn = [&](Category category, unsigned field, std::string text) {
    found({address, std::move(text), category, field});
  };
  const double clock = program.clock_mhz;
  const double exact = instruction.duration_ns * clock / 1000;
  const auto cycles = instruction_cycles(instruction.duration_ns, clock);
  if (cycles && !is_whole(exact))
    warn(Category::Rounding, 1, short_number(instruction.duration_ns) + "ns is " + fractional_cycles_text(exact) + " cycles at " +
         short_number(clock, 6) + " MHz; runs as " + cycles_text(*cycles) + " (" +
         short_number(static_cast<double>(*cycles) * 1000 / clock) + "ns)");
  if (cycles && *cycles < settings.min_cycles)
    warn(Category::ShortestInstruction, 1, "runs " + cycles_text(*cycles) + ", below the board's shortest instruction of " +
         cycles_text(settings.min_cycles));

  const auto opcode = static_cast<Opcode>(instruction.opcode);
  const std::string data = std::to_string(instruction.data);
  if (opcode == Opcode::LongDelay && instruction.data < 2)
    warn(Category::Count, 3, std::string(opcode_keyword(Opcode::LongDelay)) + " count " + data + " is below 2");
  if (opcode == Opcode::Loop && instruction.data <= 0)
    warn(Category::Count, 3, std::string(opcode_keyword(Opcode::Loop)) + " count " + data + " is not above 0, which the board refuses");
  const auto count = static_cast<std::int64_t>(program.instructions.size());
  if (jumps(instruction.opcode) && (instruction.data < 0 || instruction.data >= count))
    warn(Category::Target, 3, std::string(opcode_keyword(instruction.opcode)) + " target " + data + " is outside the program of " +
         std::to_string(count) + " instructions");
  if (address == settings.memory)
    warn(Category::Memory, 0, "the board holds " + std::to_string(settings.memory) + " instructions; this one and the " +
         std::to_string(count - address - 1) + " after it do not fit");
}

std::string range_text(std::uint64_t first, std::uint64_t last) {
  return first == last ? std::to_string(first) : std::to_string(first) + "-" + std::to_string(last);
}

}  // namespace

void check_timing(const BoardProgram& program, const CheckSettings& settings,
                  const std::function<void(TimingWarning)>& found) {
  for (std::uint32_t address = 0; address < program.instructions.size(); ++address)
    check_instruction(program, settings, address, found);
}

std::vector<TimingWarning> check_timing(const BoardProgram& program, const CheckSettings& settings) {
  std::vector<TimingWarning> warnings;
  check_timing(program, settings, [&](TimingWarning warning) { warnings.push_back(std::move(warning)); });
  return warnings;
}

std::string instruction_place(std::uint32_t address, const std::vector<unsigned>& source_lines) {
  if (address < source_lines.size()) return "line " + std::to_string(source_lines[address]);
  return "address " + std::to_string(address);
}

std::string unreached_ranges(const std::vector<bool>& reached, const std::vector<unsigned>& source_lines) {
  const bool by_line = source_lines.size() == reached.size();
  std::string ranges;
  size_t count = 0;
  for (size_t first = 0; first < reached.size();) {
    if (reached[first]) {
      ++first;
      continue;
    }
    size_t last = first;
    while (last + 1 < reached.size() && !reached[last + 1]) ++last;
    if (!ranges.empty()) ranges += ", ";
    ranges += by_line ? range_text(source_lines[first], source_lines[last]) : range_text(first, last);
    count += last - first + 1;
    first = last + 1;
  }
  if (ranges.empty()) return ranges;
  const bool several = count > 1;
  return std::string(by_line ? (several ? "lines " : "line ") : (several ? "addresses " : "address ")) + ranges;
}

std::optional<UnreachedWarning> unreached_warning(const RunEnd& end, const SimulationSettings& run,
                                                  const std::vector<unsigned>& source_lines) {
  std::vector<bool> reached = end.reached;
  if (end.error_address && *end.error_address < reached.size()) reached[*end.error_address] = true;
  const std::string unreached = unreached_ranges(reached, source_lines);
  if (unreached.empty()) return std::nullopt;
  std::uint32_t first = 0;
  while (reached[first]) ++first;
  std::string as_far_as = "never reached: ";
  if (end.reason == EndReason::Horizon) as_far_as = "not reached within " + time_text(run.until_ns) + ": ";
  if (end.reason == EndReason::StepLimit)
    as_far_as = "not reached within " + std::to_string(run.max_steps) + " instructions: ";
  return UnreachedWarning{first, as_far_as + unreached};
}

std::string runtime_error_text(const RunEnd& end, const std::vector<unsigned>& source_lines) {
  if (!end.error_address) return end.error;
  return instruction_place(*end.error_address, source_lines) + ": " + end.error;
}
