#include "board_file.h"

#include <charconv>
#include <algorithm>
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

// One number of a line: its name in messages, and what it must be.
struct Field {
  const char* name;
  const char* kind;
};

constexpr Field kClock{"the clock", "a number of MHz"};
constexpr Field kInstructionFields[] = {
    {"the output value", "a whole number from 0 to 4294967295"},
    {"the opcode", "a whole number from -2147483648 to 2147483647"},
    {"the data", "a whole number from -2147483648 to 2147483647"},
    {"the duration", "a number of ns"},
};

// Reads one number that ends at a single blank, or at the end of the line
// when it is the last; otherwise says what is wrong with it.
template <typename Number>
bool read_field(std::string_view& line, Number& value, const Field& field, bool last, std::string& problem) {
  const std::size_t length = std::min(line.find(' '), line.size());
  if (length == 0) {
    problem = std::string(field.name) + " is missing";
    return false;
  }
  const char* begin = line.data();
  const auto [stop, error] = std::from_chars(begin, begin + length, value);
  if (error != std::errc() || stop != begin + length) {
    problem = std::string(field.name) + " is not " + field.kind;
    return false;
  }
  line.remove_prefix(length);
  if (last && !line.empty()) {
    problem = std::string("more follows ") + field.name + ", the line's last number";
    return false;
  }
  if (!last) line.remove_prefix(std::min<std::size_t>(1, line.size()));
  return true;
}

bool read_instruction(std::string_view line, InstructionFields& instruction, std::string& problem) {
  if (line.empty()) {
    problem = "an empty line, where an instruction's four numbers belong";
    return false;
  }
  const auto& f = kInstructionFields;
  return read_field(line, instruction.output_value, f[0], false, problem) &&
         read_field(line, instruction.opcode, f[1], false, problem) &&
         read_field(line, instruction.data, f[2], false, problem) &&
         read_field(line, instruction.duration_ns, f[3], true, problem);
}

// "line N: " and the problem.
std::string at_line(std::size_t line, const std::string& problem) {
  return "line " + std::to_string(line) + ": " + problem;
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

std::optional<BoardProgram> parse_board_program(std::string_view text, std::string* problem) {
  std::string why;
  const auto fail = [&](std::size_t line) {
    if (problem != nullptr) *problem = at_line(line, why);
    return std::nullopt;
  };
  BoardProgram program;
  if (text.empty()) {
    why = "the file is empty, without even the clock";
    return fail(1);
  }
  std::string_view clock = take_line(text);
  if (!read_field(clock, program.clock_mhz, kClock, true, why)) return fail(1);
  if (!(program.clock_mhz > 0) || !std::isfinite(program.clock_mhz)) {
    why = "the clock, " + shortest_text(program.clock_mhz) + " MHz, is not a finite number above 0";
    return fail(1);
  }
  for (std::size_t line = 2; !text.empty(); ++line) {
    InstructionFields instruction;
    if (!read_instruction(take_line(text), instruction, why)) return fail(line);
    program.instructions.push_back(instruction);
  }
  return program;
}
