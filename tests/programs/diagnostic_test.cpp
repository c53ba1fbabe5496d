// A run's first error read back from Load's report, placed in its source
// line, with the likely word for a slip of the keyboard.
#include <gtest/gtest.h>

#include "diagnostic.h"

namespace {

TEST(Diagnostic, EveryErrorFormGivesItsPlaceAndWords) {
  const struct {
    const char* report;
    const char* source_line;
    const char* expected;  // "LINE:COLUMN: message [word]"
  } cases[] = {
      {"Reading of tokens failed at Line 3 Column 7.\nOffending character: \"#\".\n", "", "3:7: unexpected character \"#\" []"},
      {"Expecting comma after 0X1 on line 2 starting at column 5.\nGot End of Line.\nCheck for bad output pattern.\n",
       "", "2:5: Expecting comma after 0X1; got End of Line []"},
      {"Unknown variable $T on line 4 starting at column 6.\nVariables must be declared beforehand.\n", "",
       "4:6: Unknown variable $T; Variables must be declared beforehand []"},
      {"Labels:\nA = 0\n\nParse Values:\nLine 1: 1 10000 0 0\n\nTime unit on line 2 is invalid.\n\tMS2\n",
       "A: 0x2, 10ms2 / ms2", "2:11: Time unit MS2 is invalid [MS2]"},
      {"\nCommand on line 1 is invalid.\n\tCONTNUE\n", "0x1, 1us, contnue", "1:11: Command CONTNUE is invalid [CONTNUE]"},
      {"\nUnknown label on line 9:\n\tLOPA\n", "L: M: 0x1, 1us, BRANCH, lopa", "9:25: Unknown label LOPA [LOPA]"},
      {"\nUnknown label on line 9:\n\tLOPA\n", "0x1, 1us, BRANCH, $WHERE", "9:0: Unknown label LOPA [LOPA]"},
      {"\nOutput value on line 1 is invalid.\n\t0XZZ\n", "0xzz, 1us", "1:1: Output value 0XZZ is invalid [0XZZ]"},
      {"\nEND_LOOP without LOOP on line 5.\n", "0x1, 1us, END_LOOP", "5:11: END_LOOP without LOOP [END_LOOP]"},
  };
  for (const auto& c : cases) {
    const auto error = first_error(c.report);
    ASSERT_TRUE(error.has_value()) << c.report;
    const unsigned column = error->column > 0 ? error->column : word_column(c.source_line, *error);
    EXPECT_EQ(c.expected, std::to_string(error->line) + ":" + std::to_string(column) + ": " + error->message + " [" +
                              error->word + "]");
  }
  EXPECT_FALSE(first_error("Cadmora board not found.\n").has_value());
  EXPECT_FALSE(first_error("Failed to open file.\n").has_value());
}

TEST(Diagnostic, AGuessIsOfferedOnlyForASlip) {
  EXPECT_EQ("CONTINUE", closest_word("CONTNUE", known_words(Diagnostic::Unknown::Command)));
  EXPECT_EQ("LONG_DELAY", closest_word("LONGDELAY", known_words(Diagnostic::Unknown::Command)));
  EXPECT_EQ("MS", closest_word("MS2", known_words(Diagnostic::Unknown::Unit)));
  EXPECT_EQ("", closest_word("SECONDS", known_words(Diagnostic::Unknown::Unit)));
  EXPECT_EQ("", closest_word("FOO", known_words(Diagnostic::Unknown::Command)));
  EXPECT_EQ("", closest_word("R", known_words(Diagnostic::Unknown::Command))) << "two letters short of RTS";
  EXPECT_EQ("LOOPA", closest_word("LOPA", {"START", "LOOPA", "LOOPB2"}));
}

// A label of 80,000 characters with one slip among many labels: the guess
// is found with work in proportion to the label's length, not its square,
// and labels of other lengths cost nothing.
TEST(Diagnostic, AGuessForALongWordTakesLinearWork) {
  const std::string label(80000, 'A');
  std::string slip = label;
  slip[40000] = 'B';
  std::vector<std::string> labels;
  for (int i = 0; i < 10000; ++i) labels.push_back("L" + std::to_string(i));
  labels.push_back(label);
  labels.push_back(label + "CC");
  std::uint64_t work = 0;
  EXPECT_EQ(label, closest_word(slip, labels, &work));
  EXPECT_LT(work, 2 * label.size() * (2 * kLongestSlipWord / 3 + 1));
  EXPECT_EQ(label, closest_word(slip.substr(1), {label}));
  EXPECT_EQ("", closest_word(std::string(80000, 'B'), {label}, &work));
  EXPECT_LT(work, 2 * kLongestSlipWord * kLongestSlipWord);
}

}  // namespace
