// Field value conversion: program lines to instruction fields, or to the
// value error they cause.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "value_conversion.h"

namespace {

struct PatternCase {
  bool (*convert)(std::string_view, std::uint32_t&);
  std::string digits;
  bool accepted;
  std::uint32_t value;
};

TEST(PatternForms, ConvertOrRejectTheirDigits) {
  const PatternCase cases[] = {
      {binary_pattern_value, "101", true, 5},
      {binary_pattern_value, "", true, 0},
      {binary_pattern_value, "102", false, 0},
      {binary_pattern_value, std::string(32, '1'), true, 0xFFFFFFFFu},
      {binary_pattern_value, "1" + std::string(32, '0'), true, 0},  // bits past 31 are lost
      {binary_pattern_value, "11" + std::string(31, '0'), true, 0x80000000u},
      {hex_pattern_value, "FF", true, 255},
      {hex_pattern_value, "", false, 0},
      {hex_pattern_value, "1G", false, 0},
      {hex_pattern_value, "ff", false, 0},  // the reader upper-cases; lower case never arrives
      {hex_pattern_value, "9:", false, 0},
      {hex_pattern_value, "123456789", true, 0x23456789u},
      {hex_pattern_value, "FFFFFFFF", true, 0xFFFFFFFFu},
      {hex_pattern_value, "G00000000", false, 0},  // digits beyond the eighth are still checked
      {bit_list_pattern_value, "", true, 0},
      {bit_list_pattern_value, "0+23", true, 8388609},
      {bit_list_pattern_value, "1++2+", true, 6},
      {bit_list_pattern_value, "+", true, 0},
      {bit_list_pattern_value, "3+3", true, 8},
      {bit_list_pattern_value, "24", false, 0},
      {bit_list_pattern_value, "05", false, 0},
      {bit_list_pattern_value, "00", false, 0},
      {bit_list_pattern_value, "1-2", false, 0},
      {bit_list_pattern_value, "A", false, 0},
      {bit_list_pattern_value, "100", false, 0},
      {bit_list_pattern_value, "1+99999999999999999999", false, 0},
  };
  for (const PatternCase& c : cases) {
    std::uint32_t value = 0;
    EXPECT_EQ(c.accepted, c.convert(c.digits, value)) << c.digits;
    if (c.accepted) {
      EXPECT_EQ(c.value, value) << c.digits;
    }
  }
}

TEST(CommandOpcode, FindsEveryKeywordExactly) {
  const struct {
    const char* command;
    int opcode;
  } cases[] = {
      {"CONTINUE", 0}, {"STOP", 1},       {"LOOP", 2},       {"END_LOOP", 3}, {"JSR", 4},
      {"RTS", 5},      {"BRANCH", 6},     {"LONG_DELAY", 7}, {"WAIT", 8},     {"FOO", -1},
      {"", -1},        {"Continue", -1},  {"LOOPS", -1},     {"ENDLOOP", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(c.opcode, command_opcode(c.command)) << c.command;
}

// A program line with its source line number; labels come from the table below.
struct LineCase {
  const char* pattern;
  const char* time;
  const char* units;
  const char* command;
  const char* data;
  std::string expected;  // "output opcode data duration", or the report
};

const std::vector<LabelEntry> kLabels = {{"START", 0}, {"SUB", 4}, {"TWICE", 1}, {"TWICE", 6}, {"END", 9}};

std::string convert(const LineCase& c, unsigned index, LoopStack& loops) {
  ProgramLine line{c.pattern, c.time, c.units, c.command, c.data, 7};
  std::ostringstream report;
  InstructionFields fields;
  if (!convert_line(line, index, LabelIndex(kLabels), loops, report, fields)) return report.str();
  EXPECT_EQ("", report.str());
  report << fields.output_value << " " << fields.opcode << " " << fields.data << " " << fields.duration_ns;
  return report.str();
}

TEST(ConvertLine, TurnsEachFieldIntoItsNumber) {
  const LineCase cases[] = {
      // output value, by the pattern's second character (the forms
      // themselves are tested above)
      {"0B101", "1", "US", "CONTINUE", "0", "5 0 0 1000"},
      {"0XFF", "1", "US", "CONTINUE", "0", "255 0 0 1000"},
      {"0N0+23", "1", "US", "CONTINUE", "0", "8388609 0 0 1000"},
      {"1X10", "1", "US", "CONTINUE", "0", "16 0 0 1000"},
      {"9B11", "1", "US", "CONTINUE", "0", "3 0 0 1000"},
      {"12", "1", "US", "CONTINUE", "0", "12 0 0 1000"},
      {"7", "1", "US", "CONTINUE", "0", "7 0 0 1000"},
      {"2147483647", "1", "US", "CONTINUE", "0", "2147483647 0 0 1000"},
      {"4294967295", "1", "US", "CONTINUE", "0", "2147483647 0 0 1000"},
      {"99999999999999999999999999", "1", "US", "CONTINUE", "0", "2147483647 0 0 1000"},
      // duration: time times the unit's nanoseconds
      {"0", "2.5", "US", "CONTINUE", "0", "0 0 0 2500"},
      {"0", "1", "S", "CONTINUE", "0", "0 0 0 1e+09"},
      {"0", "3", "MS", "CONTINUE", "0", "0 0 0 3e+06"},
      {"0", "0.5", "NS", "CONTINUE", "0", "0 0 0 0.5"},
      {"0", "", "US", "CONTINUE", "0", "0 0 0 0"},
      {"0", ".", "US", "CONTINUE", "0", "0 0 0 0"},
      {"0", ".25", "US", "CONTINUE", "0", "0 0 0 250"},
      {"0", "1.2.3", "US", "CONTINUE", "0", "0 0 0 1200"},
      {"0", "7.", "NS", "CONTINUE", "0", "0 0 0 7"},
      {"0", "0000000000000000000000000000012", "NS", "CONTINUE", "0", "0 0 0 12"},
      {"0", "1e9", "NS", "CONTINUE", "0", "0 0 0 1"},
      // a STOP statement
      {"0", "1", "US", "STOP", "0", "0 1 0 1000"},
      // data: the leading digits, saturating; nothing numeric is 0
      {"0", "1", "US", "LONG_DELAY", "12AB", "0 7 12 1000"},
      {"0", "1", "US", "WAIT", "X", "0 8 0 1000"},
      {"0", "1", "US", "WAIT", ":", "0 8 0 1000"},
      {"0", "1", "US", "RTS", "99999999999", "0 5 2147483647 1000"},
      {"0", "1", "US", "STOP", "3", "0 1 3 1000"},
      // labels: the last definition of a name wins, forward ones too
      {"0", "1", "US", "JSR", "SUB", "0 4 4 1000"},
      {"0", "1", "US", "BRANCH", "START", "0 6 0 1000"},
      {"0", "1", "US", "BRANCH", "TWICE", "0 6 6 1000"},
      {"0", "1", "US", "JSR", "END", "0 4 9 1000"},
  };
  for (const LineCase& c : cases) {
    LoopStack loops;
    EXPECT_EQ(c.expected, convert(c, 3, loops)) << c.pattern << " " << c.time << c.units << " " << c.command;
  }
}

TEST(ConvertLine, KeepsDurationsOfAnySize) {
  LoopStack loops;
  const std::string huge = "1" + std::string(400, '0');
  const std::string tiny = "0." + std::string(400, '0') + "1";
  const LineCase cases[] = {
      {"0", huge.c_str(), "S", "CONTINUE", "0", "0 0 0 inf"},
      {"0", tiny.c_str(), "NS", "CONTINUE", "0", "0 0 0 0"},
      {"0", "1" "000000000000000000000000000000", "S", "CONTINUE", "0", "0 0 0 1e+39"},
  };
  for (const LineCase& c : cases) EXPECT_EQ(c.expected, convert(c, 0, loops)) << c.time;
}

TEST(ConvertLine, ReportsTheFirstBadValue) {
  const LineCase cases[] = {
      {"0B102", "1", "US", "CONTINUE", "0", "\nOutput value on line 7 is invalid.\n\t0B102\n"},
      {"0X", "1", "US", "CONTINUE", "0", "\nOutput value on line 7 is invalid.\n\t0X\n"},
      {"0N24", "1", "US", "CONTINUE", "0", "\nOutput value on line 7 is invalid.\n\t0N24\n"},
      {"1.5", "1", "US", "CONTINUE", "0", "\nOutput value on line 7 is invalid.\n\t1.5\n"},
      {"ABC", "1", "US", "CONTINUE", "0", "\nOutput value on line 7 is invalid.\n\tABC\n"},
      {"0Z", "1", "US", "CONTINUE", "0", "\nOutput value on line 7 is invalid.\n\t0Z\n"},
      // only the pattern, when the unit is bad too
      {"0B2", "1", "SEC", "FOO", "0", "\nOutput value on line 7 is invalid.\n\t0B2\n"},
      {"0", "10", "SEC", "CONTINUE", "0", "\nTime unit on line 7 is invalid.\n\tSEC\n"},
      {"0", "10", "us", "CONTINUE", "0", "\nTime unit on line 7 is invalid.\n\tus\n"},
      {"0", "10", "US5", "FOO", "0", "\nTime unit on line 7 is invalid.\n\tUS5\n"},
      {"0", "1", "US", "FOO", "0", "\nCommand on line 7 is invalid.\n\tFOO\n"},
      {"0", "1", "US", "EOF", "0", "\nCommand on line 7 is invalid.\n\tEOF\n"},
      {"0", "1", "US", "JSR", "NOWHERE", "\nUnknown label on line 7:\n\tNOWHERE\n"},
      {"0", "1", "US", "BRANCH", "5", "\nUnknown label on line 7:\n\t5\n"},
      {"0", "1", "US", "END_LOOP", "0", "\nEND_LOOP without LOOP on line 7.\n"},
  };
  for (const LineCase& c : cases) {
    LoopStack loops;
    EXPECT_EQ(c.expected, convert(c, 3, loops)) << c.pattern << " " << c.time << c.units << " " << c.command;
  }
}

TEST(ConvertLine, PairsEachEndLoopWithTheInnermostOpenLoop) {
  const struct {
    unsigned index;
    const char* command;
    const char* data;
    std::string expected;
  } program[] = {
      {2, "LOOP", "3", "0 2 3 1000"},  {4, "LOOP", "", "0 2 0 1000"},
      {5, "LOOP", "9", "0 2 9 1000"},  {6, "END_LOOP", "", "0 3 5 1000"},
      {7, "END_LOOP", "", "0 3 4 1000"}, {8, "END_LOOP", "77", "0 3 2 1000"},
      {9, "END_LOOP", "", "\nEND_LOOP without LOOP on line 7.\n"},
  };
  LoopStack loops;
  for (const auto& step : program) {
    const LineCase line{"0", "1", "US", step.command, step.data, ""};
    EXPECT_EQ(step.expected, convert(line, step.index, loops)) << step.index;
  }
  EXPECT_TRUE(loops.empty());
}

}  // namespace
