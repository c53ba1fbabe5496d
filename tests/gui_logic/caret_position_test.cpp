#include <gtest/gtest.h>

#include "caret_position.h"

namespace {

TEST(CaretPosition, CountsLinesAndColumnsOfTheTextBeforeTheCaret) {
  struct Case {
    const char* before_caret;
    int line;
    int column;
  } const cases[] = {
      {"", 1, 1},
      {"ab\r\nc", 2, 2},
      {"ab\r\n", 2, 1},
      {"\t", 1, 2},
      {"a\tb", 1, 4},
      {"\r\n\r\n\r\n", 4, 1},
      {"x\ry", 1, 3},  // a lone CR is no line break and takes no column
      {"0x1, 10us\r\n\tLOOP: 0b1", 2, 11},
  };
  for (const Case& c : cases) {
    const CaretPosition position = caret_position(c.before_caret);
    EXPECT_EQ(c.line, position.line) << ::testing::PrintToString(c.before_caret);
    EXPECT_EQ(c.column, position.column) << ::testing::PrintToString(c.before_caret);
  }
}

TEST(CaretPosition, LabelText) {
  EXPECT_EQ("Line 1, Column 1", position_label_text({}));
  EXPECT_EQ("Line 40, Column 123", position_label_text({40, 123}));
}

TEST(CaretPosition, LongTextCountsEveryLine) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "0x1, 1us\r\n";
  text += "abc";
  const CaretPosition position = caret_position(text);
  EXPECT_EQ(100001, position.line);
  EXPECT_EQ(4, position.column);
}

}  // namespace
