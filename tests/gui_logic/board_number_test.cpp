#include <gtest/gtest.h>

#include "board_number.h"

namespace {

TEST(BoardNumber, OnlyDecimalDigitsNameABoard) {
  const std::pair<const char*, std::optional<int>> cases[] = {
      {"0", 0},
      {"12", 12},
      {"007", 7},
      {"2147483647", 2147483647},
      {"2147483648", std::nullopt},  // no int holds it, so no board has it
      {"99999999999999999999", std::nullopt},
      {"-1", std::nullopt},
      {"+1", std::nullopt},
      {" 1", std::nullopt},
      {"1 ", std::nullopt},
      {"1a", std::nullopt},
      {"\xB9", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [text, number] : cases) EXPECT_EQ(number, board_number_from_text(text)) << text;
}

TEST(BoardNumber, Reports) {
  EXPECT_EQ("Board number changed to 7\r\nFirmware ID: 2-10", board_changed_report(7, 0x020A));
  EXPECT_EQ("Board number changed to 0\r\nFirmware ID: 255-0", board_changed_report(0, 0x7FFF00));
  EXPECT_EQ("Board number changed to 12\r\nError initializing board", board_unopened_report(12));
  EXPECT_STREQ("Board number not found \n\n", kBoardNotFound);
}

}  // namespace
