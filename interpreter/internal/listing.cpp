#include "listing.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "number_text.h"

namespace {

// The same 32 bits read as a signed number, so bit 31 shows as a minus sign.
std::int32_t as_signed(std::uint32_t value) {
  constexpr std::uint32_t kSignBit = std::uint32_t{1} << 31;
  if (value < kSignBit) return static_cast<std::int32_t>(value);
  return -static_cast<std::int32_t>(~value) - 1;
}

// A listing line goes to the stream's buffer in one piece and is then
// flushed: the same characters and the same flush as writing it bit by bit
// and ending it with std::endl, without the stream's guard around each call
// (a report stream is tied to no other; one that has failed takes nothing
// more, as before).
void write_line(std::ostream& report, const char* text, std::size_t length) {
  if (!report.good()) return;
  std::streambuf& buffer = *report.rdbuf();
  const auto count = static_cast<std::streamsize>(length);
  if (buffer.sputn(text, count) != count || buffer.pubsync() == -1) report.setstate(std::ios::badbit);
}

char* append(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
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
  // Each line is laid out in `text`, grown when a line needs more room.
  constexpr std::size_t kFixedCharacters = sizeof "Line : , , , \n" - 1;
  unsigned position = 1;
  for (const ProgramLine& line : model.lines) {
    const std::string_view index(number, static_cast<std::size_t>(write_decimal(number, position++) - number));
    const std::size_t length = kFixedCharacters + index.size() + line.pattern.size() + line.time.size() +
                               line.units.size() + line.command.size() + line.data.size();
    if (text.size() < length) text.resize(length);
    char* out = append(text.data(), "Line ");
    out = append(append(out, index), ": ");
    out = append(append(out, line.pattern), ", ");
    out = append(append(append(out, line.time), line.units), ", ");
    out = append(append(out, line.command), ", ");
    out = append(out, line.data);
    *out++ = '\n';
    write_line(report, text.data(), static_cast<std::size_t>(out - text.data()));
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
