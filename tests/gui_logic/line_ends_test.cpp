#include <gtest/gtest.h>

#include "line_ends.h"

namespace {

TEST(LineEnds, ToAndFromThePanes) {
  struct Case {
    std::string lf_text;      // as read from or written to a file in text mode
    std::string pane_text;    // as the pane holds it
    std::string saved_again;  // the pane's text written back
  } const cases[] = {
      {"", "", ""},
      {"a\nb\n", "a\r\nb\r\n", "a\nb\n"},
      {"\n\n", "\r\n\r\n", "\n\n"},
      {"a\rb", "a\rb", "ab"},  // a lone CR is kept on loading, dropped on saving
      {std::string("x\0y\xFF\n", 5), std::string("x\0y\xFF\r\n", 6), std::string("x\0y\xFF\n", 5)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.pane_text, with_crlf_line_ends(c.lf_text)) << ::testing::PrintToString(c.lf_text);
    EXPECT_EQ(c.saved_again, without_carriage_returns(c.pane_text)) << ::testing::PrintToString(c.pane_text);
  }
}

TEST(LineEnds, FileBytesToThePane) {
  struct Case {
    std::string file;
    std::string pane;
  } const cases[] = {
      {"", ""},
      {"a\nb", "a\r\nb"},
      {"a\r\nb\r\n", "a\r\nb\r\n"},
      {"a\r\r\nb", "a\r\r\nb"},
      {"a\rb\r", "a\rb\r"},
      {"\n\r\n\n", "\r\n\r\n\r\n"},
      {"0x1, 1us\x1a\n0x0, 1us\n", "0x1, 1us\x1a\r\n0x0, 1us\r\n"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.pane, pane_text_from_file(c.file)) << ::testing::PrintToString(c.file);
}

}  // namespace
