#include <gtest/gtest.h>

#include "window_title.h"

namespace {

TEST(WindowTitle, BaseNameAfterTheLastBackslash) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "Morvane Cadmora Interpreter"},
      {"C:\\My Programs\\test.cdm", "test.cdm - Morvane Cadmora Interpreter"},
      {"test.cdm", "test.cdm - Morvane Cadmora Interpreter"},
      {"sub/dir/test.cdm", "sub/dir/test.cdm - Morvane Cadmora Interpreter"},
      {"C:\\a/b\\c/d.cdm", "c/d.cdm - Morvane Cadmora Interpreter"},
      {"C:\\folder\\", " - Morvane Cadmora Interpreter"},
  };
  for (const auto& [file_name, title] : cases) EXPECT_EQ(title, window_title(file_name)) << file_name;
}

}  // namespace
