#include <gtest/gtest.h>

#include "command_line_path.h"

namespace {

TEST(CommandLinePath, DropsEveryQuoteAndKeepsBlanks) {
  const std::pair<const char*, const char*> cases[] = {
      {"test.cdm", "test.cdm"},
      {"\"C:\\My Programs\\test.cdm\"", "C:\\My Programs\\test.cdm"},
      {"C:\\My\" \"Programs\\test.cdm", "C:\\My Programs\\test.cdm"},
      {"  a b  ", "  a b  "},
      {"\"\"", ""},
  };
  for (const auto& [command_line, path] : cases) EXPECT_EQ(path, command_line_path(command_line)) << command_line;
}

TEST(CommandLinePath, APathLongerThan256CharactersIsNotCut) {
  const std::string quoted = "\"" + std::string(256, 'b') + "\"";
  EXPECT_EQ(std::string(256, 'b'), command_line_path(quoted));
  EXPECT_EQ(std::nullopt, command_line_path(std::string(257, 'a')));
  EXPECT_EQ(std::string(256, 'a') + "...", command_line_shown("\"" + std::string(300, 'a') + "\""));
}

}  // namespace
