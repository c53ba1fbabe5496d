// The statement parser: tokens to the program model, or to its first error.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "parser.h"
#include "source_text.h"
#include "token_reader.h"

namespace {

// Labels, variables and program lines (with their source line numbers), one
// per line.
std::string describe(const ProgramModel& model) {
  std::ostringstream text;
  for (const LabelEntry& label : model.labels) text << "label " << label.name << " " << label.index << "\n";
  for (const VariableEntry& variable : model.variables)
    text << "variable " << variable.name << " " << variable.value << "\n";
  for (const ProgramLine& line : model.lines) {
    text << "line " << line.line << ": " << line.pattern << " | " << line.time << " | " << line.units << " | "
         << line.command << " | " << line.data << "\n";
  }
  return text.str();
}

// The model parsed from `source`, or the report of the failed parse.
std::string parse(const std::string& source) {
  SourceReader reader(source);
  TokenSequence tokens;
  std::ostringstream report;
  if (!read_tokens(reader, tokens, report)) return "reading failed: " + report.str();
  ProgramModel model;
  if (!parse_program(tokens, model, report)) {
    EXPECT_TRUE(model.lines.empty() && model.labels.empty() && model.variables.empty())
        << "a failed parse leaves no model";
    return report.str();
  }
  EXPECT_EQ("", report.str());
  return describe(model);
}

struct Case {
  std::string source;
  std::string expected;
};

template <std::size_t N>
void check(const Case (&cases)[N]) {
  for (const Case& c : cases) EXPECT_EQ(c.expected, parse(c.source)) << ::testing::PrintToString(c.source);
}

TEST(Parser, BuildsTheProgramModel) {
  const Case cases[] = {
      {"", ""},
      {source_lines({"/ nothing but comments", "", "   / and blanks"}), ""},
      {source_lines({"0x1, 10us"}), "line 1: 0X1 | 10 | US | CONTINUE | 0\n"},
      {"0x1, 10us", "line 1: 0X1 | 10 | US | CONTINUE | 0\n"},
      {source_lines({"0x1, 2.5ms"}), "line 1: 0X1 | 2.5 | MS | CONTINUE | 0\n"},
      {source_lines({"0x1, 1.2.3us5"}), "line 1: 0X1 | 1.2.3 | US5 | CONTINUE | 0\n"},
      {source_lines({"0x1f, 1us", "0b0101, 1us", "15, 1 n s"}),
       "line 1: 0X1F | 1 | US | CONTINUE | 0\nline 2: 0B0101 | 1 | US | CONTINUE | 0\n"
       "line 3: 15 | 1 | NS | CONTINUE | 0\n"},
      {source_lines({"0x1, 10us, STOP"}), "line 1: 0X1 | 10 | US | STOP | 0\n"},
      {source_lines({"0x1, 10us, LOOP"}), "line 1: 0X1 | 10 | US | LOOP | 0\n"},
      {source_lines({"0x1, 10us, LOOP, 3"}), "line 1: 0X1 | 10 | US | LOOP | 3\n"},
      {source_lines({"0x1, 10us, CONTINUE, x"}), "line 1: 0X1 | 10 | US | CONTINUE | X\n"},
      {source_lines({"0x1, 10us, foo"}), "line 1: 0X1 | 10 | US | FOO | 0\n"},
      {source_lines({"0x1, 10us, JSR, sub"}), "line 1: 0X1 | 10 | US | JSR | SUB\n"},
      // Data is any token but a line end, taken as it stands.
      {source_lines({"0x1, 1us, WAIT, :", "0x1, 1us, LOOP, ,"}),
       "line 1: 0X1 | 1 | US | WAIT | :\nline 2: 0X1 | 1 | US | LOOP | ,\n"},
      // STOP alone fills in every field; its line is the word's.
      {source_lines({"", "", "  stop"}), "line 3: 0 | 1 | US | STOP | 0\n"},
  };
  check(cases);
}

TEST(Parser, RecordsLabelsWithTheIndexOfTheNextLine) {
  const Case cases[] = {
      {source_lines({"0x1, 1us", "LOOP1:"}), "label LOOP1 1\nline 1: 0X1 | 1 | US | CONTINUE | 0\n"},
      {source_lines({"A: B: 0x1, 1us"}), "label A 0\nlabel B 0\nline 1: 0X1 | 1 | US | CONTINUE | 0\n"},
      {source_lines({"STOP:"}), "label STOP 0\n"},
      {source_lines({"END: STOP"}), "label END 0\nline 1: 0 | 1 | US | STOP | 0\n"},
      {source_lines({"A:", "0x1, 1us", "A:"}), "label A 0\nlabel A 1\nline 2: 0X1 | 1 | US | CONTINUE | 0\n"},
      {"X:Y:", "label X 0\nlabel Y 0\n"},
  };
  check(cases);
}

TEST(Parser, SubstitutesVariablesWithTheKindTheirPlaceAsks) {
  const Case cases[] = {
      {source_lines({"$a = 5", "$a, 1us"}), "variable $A 5\nline 2: 5 | 1 | US | CONTINUE | 0\n"},
      {source_lines({"$a = 5", "$a = 7", "$a, 1us"}), "variable $A 7\nline 3: 7 | 1 | US | CONTINUE | 0\n"},
      {source_lines({"$a = 5", "$a, 1us", "$a = 7", "$a, 1us"}),
       "variable $A 7\nline 2: 5 | 1 | US | CONTINUE | 0\nline 4: 7 | 1 | US | CONTINUE | 0\n"},
      {source_lines({"$t = 10us", "0x1, $t"}), "variable $T 10US\nline 2: 0X1 | 10 | US | CONTINUE | 0\n"},
      {source_lines({"$c = loop", "0x1, 1us, $c, 3"}), "variable $C LOOP\nline 2: 0X1 | 1 | US | LOOP | 3\n"},
      {source_lines({"$n = 3", "0x1, 1us, LOOP, $n"}), "variable $N 3\nline 2: 0X1 | 1 | US | LOOP | 3\n"},
      {source_lines({"$l = start", "START: 0x1, 1us, JSR, $l"}),
       "label START 0\nvariable $L START\nline 2: 0X1 | 1 | US | JSR | START\n"},
      // A value of the other kind is taken all the same.
      {source_lines({"$p = abc", "$p, 1us"}), "variable $P ABC\nline 2: ABC | 1 | US | CONTINUE | 0\n"},
      {source_lines({"$w = 5", "0x1, 1us, $w"}), "variable $W 5\nline 2: 0X1 | 1 | US | 5 | 0\n"},
      {source_lines({"$t = us", "0x1, $t"}), "variable $T US\nline 2: 0X1 |  | US | CONTINUE | 0\n"},
      {source_lines({"$l = 5", "0x1, 1us, BRANCH, $l"}), "variable $L 5\nline 2: 0X1 | 1 | US | BRANCH | 5\n"},
      // Splitting a substituted time leaves the variable's value whole.
      {source_lines({"$t = 2us", "0x1, $t", "$t, $t"}),
       "variable $T 2US\nline 2: 0X1 | 2 | US | CONTINUE | 0\nline 3: 2US | 2 | US | CONTINUE | 0\n"},
      {source_lines({"$b = 1", "$a = 2", "$b = 3"}), "variable $B 3\nvariable $A 2\n"},
  };
  check(cases);
}

TEST(Parser, ReportsTheFirstErrorWithItsPosition) {
  const Case cases[] = {
      // 1: a word that is no label and no STOP statement
      {source_lines({"foo, 1us"}), "Expecting output pattern on line 1 starting at column 1.\nGot FOO.\n"},
      {source_lines({"STOP, 1"}),
       "Expecting output pattern on line 1 starting at column 1.\nGot STOP.\n"
       "STOP should be followed by End of Line.\n"},
      {source_lines({"stop stop"}), "Expecting output pattern on line 1 starting at column 1.\nGot STOPSTOP.\n"},
      {"EOF", "Expecting output pattern on line 1 starting at column 1.\nGot End of File.\n"},
      // 2: a declaration without a value
      {source_lines({"$a = $b"}), "Expecting value after = on line 1 starting at column 4.\nGot $B.\n"},
      {source_lines({"$a ="}), "Expecting value after = on line 1 starting at column 4.\nGot End of Line.\n"},
      // 3: a variable used before its declaration
      {source_lines({"$a, 1us"}),
       "Unknown variable $A on line 1 starting at column 1.\nVariables must be declared beforehand.\n"},
      {source_lines({"0x1, 1us, $c", "$c = loop"}),
       "Unknown variable $C on line 1 starting at column 11.\nVariables must be declared beforehand.\n"},
      // 4: no comma after the pattern, quoted after substitution
      {source_lines({"", "", "0x1 10us"}),
       "Expecting comma after 0X110US on line 3 starting at column 1.\nGot End of Line.\n"
       "Check for bad output pattern.\n"},
      {source_lines({"$p = 7", "$p: x"}),
       "Expecting comma after 7 on line 2 starting at column 1.\nGot :.\nCheck for bad output pattern.\n"},
      {source_lines({"5 = 3"}),
       "Expecting comma after 5 on line 1 starting at column 1.\nGot =.\nCheck for bad output pattern.\n"},
      // 5: the time field is no number
      {source_lines({"0x1, us"}), "Expecting time field after , on line 1 starting at column 4.\nGot US.\n"},
      {"0x1,", "Expecting time field after , on line 1 starting at column 4.\nGot End of File.\n"},
      // 6: a time without units, at the time token's position
      {source_lines({"0x1, 10"}), "Expecting time units after 10 on line 1 starting at column 6.\nGot .\n"},
      {source_lines({"$a = 5", "0x1,   $a"}),
       "Expecting time units after 5 on line 2 starting at column 8.\nGot .\n"},
      // 7: no command after the second comma
      {source_lines({"0x1, 1us, 5"}), "Expecting command after , on line 1 starting at column 9.\nGot 5.\n"},
      {"0x1, 1us,", "Expecting command after , on line 1 starting at column 9.\nGot End of File.\n"},
      // 8 and 9: BRANCH and JSR need a comma and a label
      {source_lines({"0x1, 10us, BRANCH"}),
       "Expecting comma after BRANCH on line 1 starting at column 12.\nGot End of Line.\n"},
      {"0x1, 10us, jsr", "Expecting comma after JSR on line 1 starting at column 12.\nGot End of File.\n"},
      {source_lines({"0x1, 10us, JSR, 5"}), "Expecting label after , on line 1 starting at column 15.\nGot 5.\n"},
      {source_lines({"0x1, 10us, JSR,"}),
       "Expecting label after , on line 1 starting at column 15.\nGot End of Line.\n"},
      // 10: a comma with no data after it
      {source_lines({"0x1, 10us, LOOP,"}),
       "Expecting data after , on line 1 starting at column 16.\nGot End of Line.\n"},
      {"0x1, 10us, LOOP,", "Expecting data after , on line 1 starting at column 16.\nGot End of File.\n"},
      // 11: something after a complete statement, quoting the token before it
      {source_lines({"0x1, 10us = 5"}), "Expecting end of line after US on line 1 starting at column 6.\nGot =.\n"},
      {source_lines({"0x1, 1us, LOOP, 3, 4"}),
       "Expecting end of line after 3 on line 1 starting at column 17.\nGot ,.\n"},
      {source_lines({"$a = 5, 6"}), "Expecting end of line after 5 on line 1 starting at column 6.\nGot ,.\n"},
      {source_lines({"0x1, 1us", ", 2"}),
       "Expecting end of line after End of Line on line 1 starting at column 9.\nGot ,.\n"},
      {source_lines({"A: : 0x1, 1us"}), "Expecting end of line after : on line 1 starting at column 2.\nGot :.\n"},
      {source_lines({"STOP", "= 1"}),
       "Expecting end of line after End of Line on line 1 starting at column 5.\nGot =.\n"},
      // ... and before the first token of the source stands its start.
      {source_lines({", 2"}), "Expecting end of line after Start of File on line 1 starting at column 1.\nGot ,.\n"},
      {source_lines({"  : x"}),
       "Expecting end of line after Start of File on line 1 starting at column 1.\nGot :.\n"},
      {"=", "Expecting end of line after Start of File on line 1 starting at column 1.\nGot =.\n"},
      // Only the first error is reported.
      {source_lines({"0x1, 1us", "foo", "bar"}),
       "Expecting output pattern on line 2 starting at column 1.\nGot FOO.\n"},
  };
  check(cases);
}

TEST(Parser, HandlesManyLabelsAndVariablesInLinearTime) {
  std::string source;
  const int kCount = 200000;
  for (int i = 0; i < kCount; ++i) source += "L" + std::to_string(i) + ": $V" + std::to_string(i) + " = 1\n";
  source += "$V0, 1us, JSR, L7\n";
  SourceReader reader(source);
  TokenSequence tokens;
  std::ostringstream report;
  ASSERT_TRUE(read_tokens(reader, tokens, report));
  ProgramModel model;
  ASSERT_TRUE(parse_program(tokens, model, report)) << report.str();
  EXPECT_EQ(static_cast<std::size_t>(kCount), model.labels.size());
  EXPECT_EQ(static_cast<std::size_t>(kCount), model.variables.size());
  ASSERT_EQ(1u, model.lines.size());
  EXPECT_EQ("1", model.lines.begin()->pattern);
}

}  // namespace
