#include <gtest/gtest.h>

#include <sstream>

#include "cli_commands.h"

namespace {

TEST(CommandWordTest, UpperCasesAtMostFiveCharacters) {
  const struct {
    const char* argument;
    const char* word;
  } cases[] = {
      {"load", "LOAD"},     {"Load", "LOAD"},   {"LOAD", "LOAD"},   {"Starting", "START"},
      {"stopped", "STOPP"}, {"", ""},           {"st", "ST"},       {"sToP", "STOP"},
      {"\xe9t\xe9", "\xe9T\xe9"},  // bytes above 127 pass through unchanged
  };
  for (const auto& c : cases) EXPECT_EQ(c.word, command_word(c.argument)) << c.argument;
}

TEST(UsageTest, IsFiveLines) {
  std::ostringstream out;
  write_usage(out);
  EXPECT_EQ(
      "Usage: cdmcli <command> [file] [frequency]\n"
      "Commands:\n"
      "  Load = Load [file] into memory using [frequency]\n"
      "  Start = Start execution of program currently in memory\n"
      "  Stop = Stop execution of program currently running\n",
      out.str());
}

}  // namespace
