#include "listing.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "number_text.h"

namespace {

// The same 32 bits read as a signed number, so bit 31 shows as a minus sign.
std::int32_t as_signed(std::uint32_t value) {
  constexpr std::uint32_t kSignBit = std::uint32_t{1} << 31;
  if (value < kSignBit) return static_cast<std::int32_t>(value);
  return -static_cast<std::int32_t>(~value) - 1;
}

// A listing line goes to the stream in one piece and is then flushed: the
// same characters and the same flush as writing it bit by bit and ending it
// with std::endl, at a fraction of the stream calls.
void write_line(std::ostream& report, const char* text, std::size_t length) {
  report.write(text, static_cast<std::streamsize>(length));
  report.flush();
}

char* append(char* out, const char* text) {
  const std::size_t length = std::strlen(text);
  std::memcpy(out, text, length);
  return out + length;
}

}  // namespace

void write_parse_listing(const ProgramModel& model, std::ostream& report) {
  std::string text;
  char number[kNumberTextSize];
  report << "Labels:" << std::endl;
  for (const LabelEntry& label : model.labels) {
    text.assign(label.name).append(" = ").append(number, write_decimal(number, label.index)).append(1, '\n');
    write_line(report, text.data(), text.size());
  }
  report << std::endl;

  report << "Variables:" << std::endl;
  for (const VariableEntry& variable : model.variables) report << variable.name << std::endl;
  report << std::endl;

  report << "Program Lines:" << std::endl;
  unsigned position = 1;
  for (const ProgramLine& line : model.lines) {
    text.assign("Line ").append(number, write_decimal(number, position++)).append(": ");
    text.append(line.pattern).append(", ").append(line.time).append(line.units).append(", ");
    text.append(line.command).append(", ").append(line.data).append(1, '\n');
    write_line(report, text.data(), text.size());
  }
  report << std::endl;
}

void write_parse_values_line(unsigned index, const InstructionFields& fields, std::ostream& report) {
  // "Line ", ": ", three blanks, the line end and five numbers.
  char text[16 + 5 * kNumberTextSize];
  char* out = append(text, "Line ");
  out = write_decimal(out, std::int64_t{index} + 1);
  out = append(out, ": ");
  out = write_decimal(out, as_signed(fields.output_value));
  *out++ = ' ';
  out = write_default_float(out, fields.duration_ns);
  *out++ = ' ';
  out = write_decimal(out, fields.opcode);
  *out++ = ' ';
  out = write_decimal(out, fields.data);
  *out++ = '\n';
  write_line(report, text, static_cast<std::size_t>(out - text));
}
