#include "value_conversion.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <limits>
#include <string>

#include "language_tables.h"

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool all_digits(std::string_view text) { return std::all_of(text.begin(), text.end(), is_digit); }

// The value of the leading decimal digits, 0 when there are none; numbers
// beyond the largest signed 32-bit value give that value.
std::int32_t leading_number(std::string_view text) {
  std::int64_t value = 0;
  for (char c : text) {
    if (!is_digit(c)) break;
    value = std::min(value * 10 + (c - '0'), kLargestNumber);
  }
  return static_cast<std::int32_t>(value);
}

// Bit numbers are written plainly: "0" to "23", no sign, no leading zero.
bool bit_number(std::string_view piece, unsigned& bit) {
  if (piece.empty() || piece.size() > 2 || !all_digits(piece)) return false;
  if (piece.size() == 2 && piece[0] == '0') return false;
  bit = static_cast<unsigned>(leading_number(piece));
  return bit < kBitListBits;
}

// A pattern in none of the other forms is a decimal number.
bool output_value(std::string_view pattern, std::uint32_t& value) {
  if (pattern.size() >= 2) {
    for (const PatternForm& form : kPatternForms)
      if (pattern[1] == form.marker) return form.value(pattern.substr(2), value);
  }
  if (!all_digits(pattern)) return false;
  value = static_cast<std::uint32_t>(leading_number(pattern));
  return true;
}

bool has_nonzero_integer_digit(std::string_view time) {
  for (char c : time) {
    if (c == '.') return false;
    if (c != '0') return true;
  }
  return false;
}

// The general case of time_value, for texts of many digits.
double number_value(std::string_view time) {
  double value = 0;
  const auto result = std::from_chars(time.data(), time.data() + time.size(), value, std::chars_format::fixed);
  if (result.ec == std::errc::invalid_argument) return 0;
  if (result.ec == std::errc::result_out_of_range)
    return has_nonzero_integer_digit(time) ? std::numeric_limits<double>::infinity() : 0.0;
  return value;
}

// The time text as a decimal number with a point as separator, whatever the
// user's regional settings; reading stops where the number does, and an
// empty text is 0. Beyond the range of a double it is infinite (or 0, for a
// number too small).
double time_value(std::string_view time) {
  // Up to 15 digits and one point: the digits as a whole number are exact
  // in a double, and so is ten to the power of the fraction's length, so
  // their quotient is the correctly rounded value, as from_chars gives it.
  constexpr std::size_t kExactDigits = 15;
  constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13,
                                     1e14, 1e15};
  std::uint64_t digits = 0;
  std::size_t digit_count = 0;
  std::size_t fraction_length = 0;
  bool in_fraction = false;
  for (char c : time) {
    if (c == '.' && !in_fraction) {
      in_fraction = true;
      continue;
    }
    if (!is_digit(c)) break;
    digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
    fraction_length += in_fraction;
    if (++digit_count > kExactDigits) return number_value(time);
  }
  return static_cast<double>(digits) / kPowersOfTen[fraction_length];
}

// The command's opcode, or -1 when the text is no command.
int command_opcode(std::string_view command) {
  for (const OpcodeKeyword& entry : kOpcodeKeywords)
    if (entry.keyword == command) return static_cast<int>(entry.opcode);
  return -1;
}

const TimeUnit* time_unit(std::string_view units) {
  for (const TimeUnit& unit : kTimeUnits)
    if (unit.text == units) return &unit;
  return nullptr;
}

// A value error: Load reports an empty line, then one naming the source
// line, then the offending text after a tab when there is one.
bool value_error(Diagnostic& error, const ProgramLine& line, Category category, std::string_view what,
                 std::string_view ending, WordKind kind, unsigned field, std::string_view word, bool quoted) {
  error = Diagnostic{};
  error.category = category;
  error.line = line.line;
  error.word = std::string(word);
  error.kind = kind;
  error.field = field;
  error.message = std::string(what);
  if (quoted) error.message += " " + error.word + (kind == WordKind::Label ? "" : " is invalid");
  if (error.word.find_first_of("#;") != std::string::npos) error.message += "; comments start with /";
  error.report_text = "\n" + std::string(what) + " on line " + std::to_string(line.line) + std::string(ending) + "\n";
  if (quoted) error.report_text += "\t" + error.word + "\n";
  return false;
}

bool invalid(Diagnostic& error, const ProgramLine& line, std::string_view what, WordKind kind, unsigned field,
             std::string_view word) {
  return value_error(error, line, Category::Value, what, " is invalid.", kind, field, word, true);
}

bool data_word(const ProgramLine& line, Opcode opcode, unsigned index, const LabelIndex& labels,
               LoopStack& loops, Diagnostic& error, std::int32_t& data) {
  switch (opcode) {
    case Opcode::EndLoop:
      if (loops.empty())
        return value_error(error, line, Category::LoopWithoutEnd, "END_LOOP without LOOP", ".", WordKind::Nothing, 2,
                           opcode_keyword(Opcode::EndLoop), false);
      data = loops.back();
      loops.pop_back();
      return true;
    case Opcode::Jsr:
    case Opcode::Branch:
      if (!labels.find(line.data, data))
        return value_error(error, line, Category::Value, "Unknown label", ":", WordKind::Label, 3, line.data, true);
      return true;
    case Opcode::Loop:
      loops.push_back(static_cast<std::int32_t>(index));
      [[fallthrough]];
    default:
      data = leading_number(line.data);
      return true;
  }
}

}  // namespace

LabelIndex::LabelIndex(const std::vector<LabelEntry>& labels) : labels_(labels) {
  std::size_t size = 2;
  while (size < 2 * labels.size()) size *= 2;
  slots_.resize(size);
  mask_ = size - 1;
  // A later definition takes over its name's slot.
  for (std::size_t position = 0; position < labels.size(); ++position)
    slots_[slot_of(labels[position].name)] = static_cast<std::uint32_t>(position + 1);
}

// The slot that holds `name`, or the free one where it would go.
std::size_t LabelIndex::slot_of(std::string_view name) const {
  std::size_t i = std::hash<std::string_view>()(name) & mask_;
  while (slots_[i] != 0 && labels_[slots_[i] - 1].name != name) i = (i + 1) & mask_;
  return i;
}

bool LabelIndex::find(std::string_view name, int& index) const {
  const std::uint32_t slot = slots_[slot_of(name)];
  if (slot == 0) return false;
  index = labels_[slot - 1].index;
  return true;
}

bool binary_pattern_value(std::string_view digits, std::uint32_t& value) {
  std::uint32_t result = 0;
  for (char c : digits) {
    if (c != '0' && c != '1') return false;
    result = result * 2u + static_cast<std::uint32_t>(c - '0');
  }
  value = result;
  return true;
}

bool hex_pattern_value(std::string_view digits, std::uint32_t& value) {
  if (digits.empty()) return false;
  std::uint32_t result = 0;
  for (char c : digits) {
    unsigned digit = 0;
    if (is_digit(c))
      digit = static_cast<unsigned>(c - '0');
    else if (c >= 'A' && c <= 'F')
      digit = static_cast<unsigned>(c - 'A' + 10);
    else
      return false;
    result = result * 16u + digit;
  }
  value = result;
  return true;
}

// Pieces between '+' signs; empty ones are skipped.
bool bit_list_pattern_value(std::string_view bits, std::uint32_t& value) {
  std::uint32_t result = 0;
  std::size_t piece_start = 0;
  for (std::size_t i = 0; i <= bits.size(); ++i) {
    if (i < bits.size() && bits[i] != '+') continue;
    const std::string_view piece = bits.substr(piece_start, i - piece_start);
    piece_start = i + 1;
    if (piece.empty()) continue;
    unsigned bit = 0;
    if (!bit_number(piece, bit)) return false;
    result |= std::uint32_t{1} << bit;
  }
  value = result;
  return true;
}

bool convert_line(const ProgramLine& line, unsigned index, const LabelIndex& labels, LoopStack& loops,
                  Diagnostic& error, InstructionFields& fields) {
  if (!output_value(line.pattern, fields.output_value))
    return invalid(error, line, "Output value", WordKind::Pattern, 0, line.pattern);
  const TimeUnit* unit = time_unit(line.units);
  if (unit == nullptr) return invalid(error, line, "Time unit", WordKind::Unit, 1, line.units);
  fields.duration_ns = time_value(line.time) * unit->nanoseconds;
  const int opcode = command_opcode(line.command);
  if (opcode < 0) return invalid(error, line, "Command", WordKind::Command, 2, line.command);
  fields.opcode = opcode;
  return data_word(line, static_cast<Opcode>(opcode), index, labels, loops, error, fields.data);
}

void check_values(const ProgramModel& model, std::vector<Diagnostic>& all) {
  const LabelIndex labels(model.labels);
  LoopStack loops;
  std::vector<unsigned> loop_lines;  // the source line of each open LOOP
  unsigned index = 0;
  InstructionFields fields;
  Diagnostic error;
  for (const ProgramLine& line : model.lines) {
    const std::size_t open = loops.size();
    if (!convert_line(line, index++, labels, loops, error, fields)) all.push_back(std::move(error));
    if (loops.size() > open) loop_lines.push_back(line.line);
    if (loops.size() < open) loop_lines.pop_back();
  }
  for (const unsigned line : loop_lines) {
    Diagnostic warning;
    warning.severity = Severity::Warning;
    warning.category = Category::LoopWithoutEnd;
    warning.line = line;
    warning.field = 2;
    warning.word = std::string(opcode_keyword(Opcode::Loop));
    warning.message = "LOOP without END_LOOP: what follows it runs once";
    all.push_back(std::move(warning));
  }
  std::stable_sort(all.begin(), all.end(), [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
}
