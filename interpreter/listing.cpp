#include "listing.h"

#include <cstdint>
#include <string>

namespace {

// The same 32 bits read as a signed number, so bit 31 shows as a minus sign.
std::int32_t as_signed(std::uint32_t value) {
  constexpr std::uint32_t kSignBit = std::uint32_t{1} << 31;
  if (value < kSignBit) return static_cast<std::int32_t>(value);
  return -static_cast<std::int32_t>(~value) - 1;
}

}  // namespace

void write_parse_listing(const ProgramModel& model, std::ostream& report) {
  report << "Labels:" << std::endl;
  for (const LabelEntry& label : model.labels) report << label.name << " = " << label.index << std::endl;
  report << std::endl;

  report << "Variables:" << std::endl;
  for (const VariableEntry& variable : model.variables) report << variable.name << std::endl;
  report << std::endl;

  report << "Program Lines:" << std::endl;
  // A line's texts go to the stream as one piece: the same characters with
  // far fewer stream calls, which a long program's listing notices.
  std::string texts;
  unsigned number = 1;
  for (const ProgramLine& line : model.lines) {
    texts.clear();
    texts.append(line.pattern).append(", ").append(line.time).append(line.units).append(", ");
    texts.append(line.command).append(", ").append(line.data);
    report << "Line " << number++ << ": " << texts << std::endl;
  }
  report << std::endl;
}

void write_parse_values_line(unsigned index, const InstructionFields& fields, std::ostream& report) {
  report << "Line " << index + 1 << ": " << as_signed(fields.output_value) << " " << fields.duration_ns << " "
         << fields.opcode << " " << fields.data << std::endl;
}
