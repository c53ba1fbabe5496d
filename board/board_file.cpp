#include "board_file.h"

#include <charconv>
#include <cmath>

namespace {

template <typename Number>
void append_number(std::string& text, Number value) {
  char digits[32];
  text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// Splits off the next line, without its LF and a CR before it.
std::string_view take_line(std::string_view& text) {
  const size_t end = std::min(text.find('\n'), text.size());
  std::string_view line = text.substr(0, end);
  text.remove_prefix(std::min(end + 1, text.size()));
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// Reads one number that ends at a single blank or at the end of the line.
template <typename Number>
bool read_field(std::string_view& line, Number& value, bool last) {
  const char* begin = line.data();
  const char* end = begin + line.size();
  auto [stop, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || stop == begin) return false;
  line.remove_prefix(static_cast<size_t>(stop - begin));
  if (last) return line.empty();
  if (line.empty() || line.front() != ' ') return false;
  line.remove_prefix(1);
  return true;
}

bool read_instruction(std::string_view line, InstructionFields& instruction) {
  return read_field(line, instruction.output_value, false) && read_field(line, instruction.opcode, false) &&
         read_field(line, instruction.data, false) && read_field(line, instruction.duration_ns, true);
}

}  // namespace

std::string shortest_text(double value) {
  std::string text;
  append_number(text, value);
  return text;
}

std::string board_file_clock_line(double clock_mhz) { return shortest_text(clock_mhz) + "\n"; }

void append_board_file_line(std::string& text, const InstructionFields& instruction) {
  append_number(text, instruction.output_value);
  text += ' ';
  append_number(text, instruction.opcode);
  text += ' ';
  append_number(text, instruction.data);
  text += ' ';
  append_number(text, instruction.duration_ns);
  text += '\n';
}

std::optional<BoardProgram> parse_board_program(std::string_view text) {
  BoardProgram program;
  std::string_view clock = take_line(text);
  if (!read_field(clock, program.clock_mhz, true) || !(program.clock_mhz > 0) || !std::isfinite(program.clock_mhz))
    return std::nullopt;
  while (!text.empty()) {
    InstructionFields instruction;
    if (!read_instruction(take_line(text), instruction)) return std::nullopt;
    program.instructions.push_back(instruction);
  }
  return program;
}
