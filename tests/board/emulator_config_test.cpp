#include <gtest/gtest.h>

#include "emulator_config.h"

namespace {

TEST(EmulatorConfigTest, DefaultsWithoutAFile) {
  EmulatorConfig config = parse_emulator_config("");
  EXPECT_EQ(std::vector<int>{0}, config.boards);
  EXPECT_EQ(0, config.initial_board());
  EXPECT_TRUE(config.unopenable.empty());
  EXPECT_EQ(32768, config.memory_size);
  EXPECT_FALSE(config.fail_write_at.has_value());
  EXPECT_FALSE(config.error_text.has_value());
  EXPECT_FALSE(config.journal);
  EXPECT_FALSE(config.trace_ns.has_value());
}

TEST(EmulatorConfigTest, ReadsEveryKey) {
  EmulatorConfig config = parse_emulator_config(
      "# a board rack\n"
      "boards = 2  5\t7   # three boards\n"
      "default_board=5\n"
      "unopenable = 7\n"
      "firmware_id = 0x0304\n"
      "version = 2.1 beta\r\n"
      "memory_size = 16\n"
      "fail_write_at = 3\n"
      "error_text = USB transfer timed out\n"
      "journal = yes\n"
      "trace = 2.5US\n"
      "colour = blue\n");
  EXPECT_EQ((std::vector<int>{2, 5, 7}), config.boards);
  EXPECT_EQ(5, config.initial_board());
  EXPECT_EQ(std::vector<int>{7}, config.unopenable);
  EXPECT_TRUE(config.can_open(5));
  EXPECT_FALSE(config.can_open(7));
  EXPECT_FALSE(config.has_board(0));
  EXPECT_EQ(0x0304, config.firmware_id);
  EXPECT_EQ("2.1 beta", config.version);
  EXPECT_EQ(16, config.memory_size);
  EXPECT_EQ(3, config.fail_write_at);
  EXPECT_EQ("USB transfer timed out", config.error_text);
  EXPECT_TRUE(config.journal);
  EXPECT_EQ(2500, config.trace_ns);
}

TEST(EmulatorConfigTest, ValuesThatDoNotReadKeepTheDefault) {
  const struct {
    const char* text;
    std::vector<int> boards;
    int firmware_id;
    int memory_size;
  } cases[] = {
      {"boards = none", {}, 0x0203, 32768},
      {"boards = 1 x", {0}, 0x0203, 32768},
      {"firmware_id = 258", {0}, 258, 32768},
      {"firmware_id = 0xZZ", {0}, 0x0203, 32768},
      {"memory_size = -4", {0}, 0x0203, 32768},
      {"memory_size = 99999999999", {0}, 0x0203, 32768},
      {"memory_size 12", {0}, 0x0203, 32768},
  };
  for (const auto& c : cases) {
    EmulatorConfig config = parse_emulator_config(c.text);
    EXPECT_EQ(c.boards, config.boards) << c.text;
    EXPECT_EQ(c.firmware_id, config.firmware_id) << c.text;
    EXPECT_EQ(c.memory_size, config.memory_size) << c.text;
  }
}

TEST(EmulatorConfigTest, NoBoardsMeansNothingToOpen) {
  EmulatorConfig config = parse_emulator_config("boards = none");
  EXPECT_FALSE(config.initial_board().has_value());
  EXPECT_FALSE(config.can_open(0));
}

}  // namespace
