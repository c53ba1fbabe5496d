// Diagnostic records placed in their source line, with the likely word for
// a slip of the keyboard.
#include <gtest/gtest.h>

#include "diagnostic.h"

namespace {

// A record the value conversion knows only by its line is placed on its
// word, in the field the word stands in, past labels and comments; a word
// that came from a variable marks the field's text.
TEST(Diagnostic, ARecordIsPlacedOnItsWord) {
  const struct {
    unsigned field;
    const char* word;
    WordKind kind;
    const char* source_line;
    const char* expected;  // "FIRST-LAST suggestion"
  } cases[] = {
      {1, "MS2", WordKind::Unit, "A: 0x2, 10ms2 / ms2", "11-13 MS"},
      {1, "USEC", WordKind::Unit, "0x2, 10usec", "8-11 US"},
      {2, "CONTNUE", WordKind::Command, "0x1, 1us, contnue", "11-17 CONTINUE"},
      {2, "JRS", WordKind::Command, "0x1, 1us,\tJRS, L", "11-13 JSR"},
      {3, "LOPA", WordKind::Label, "L: M: 0x1, 1us, BRANCH, lopa", "25-28 LOOPA"},
      {3, "LOPA", WordKind::Label, "0x1, 1us, BRANCH,  $WHERE ", "20-25 LOOPA"},
      {0, "0XZZ", WordKind::Pattern, "0xzz, 1us", "1-4 "},
      {2, "LOOP", WordKind::Nothing, "0x1, 1us, LOOP, 3", "11-14 "},
      {3, "", WordKind::Nothing, "0x1, 1us, LONG_DELAY, 1", "23-23 "},
  };
  for (const auto& c : cases) {
    Diagnostic d;
    d.field = c.field;
    d.word = c.word;
    d.kind = c.kind;
    place_in_line(d, c.source_line, {"START", "LOOPA"});
    EXPECT_EQ(c.expected, std::to_string(d.first_column) + "-" + std::to_string(d.last_column) + " " + d.suggestion)
        << c.source_line;
  }
}

TEST(Diagnostic, AGuessIsOfferedOnlyForASlip) {
  EXPECT_EQ("CONTINUE", closest_word("CONTNUE", known_words(WordKind::Command)));
  EXPECT_EQ("LONG_DELAY", closest_word("LONGDELAY", known_words(WordKind::Command)));
  EXPECT_EQ("MS", closest_word("MS2", known_words(WordKind::Unit)));
  EXPECT_EQ("", closest_word("SECONDS", known_words(WordKind::Unit)));
  EXPECT_EQ("", closest_word("FOO", known_words(WordKind::Command)));
  EXPECT_EQ("", closest_word("R", known_words(WordKind::Command))) << "two letters short of RTS";
  EXPECT_EQ("LOOPA", closest_word("LOPA", {"START", "LOOPA", "LOOPB2"}));
  EXPECT_EQ("STOP", closest_word("STPO", known_words(WordKind::Command))) << "two letters swapped";
  EXPECT_EQ("$WIDTH", closest_word("$WIDHT", {"$WIDTH", "$DELAY"}));
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
