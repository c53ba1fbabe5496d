#include <gtest/gtest.h>

#include "settings_text.h"

namespace {

TEST(SettingsText, Reading) {
  struct Case {
    std::string text;  // as read in text mode
    std::string frequency;
    bool show_debug;
  } const cases[] = {
      {"", "100.0", false},
      {"100.0\nfalse", "100.0", false},
      {"50\ntrue", "50", true},
      {"50\ntrue\n", "50", true},
      {"50\ntrueish and more", "50", true},
      {"50\nTrue", "50", false},
      {"50\nTRUE", "50", false},
      {"50\nyes", "50", false},
      {"50\n1", "50", false},
      {"50\n tru", "50", false},
      {"50", "50", false},
      {"true", "true", false},  // a lone first line never turns the option on
      {"\ntrue", "", true},
      {"fast\nfalse", "fast", false},  // not checked until Load converts it
  };
  for (const Case& c : cases) {
    const Settings settings = parse_settings(c.text);
    EXPECT_EQ(c.frequency, settings.frequency) << ::testing::PrintToString(c.text);
    EXPECT_EQ(c.show_debug, settings.show_debug) << ::testing::PrintToString(c.text);
  }
}

TEST(SettingsText, ReadsLinesOfAtMost255Characters) {
  // A longer first line is read in two pieces; its second piece stands where
  // the option would be.
  const Settings long_line = parse_settings(std::string(255, '9') + "true\nfalse");
  EXPECT_EQ(std::string(255, '9'), long_line.frequency);
  EXPECT_TRUE(long_line.show_debug);
}

TEST(SettingsText, Writing) {
  struct Case {
    std::string frequency;
    bool show_debug;
    std::string text;
  } const cases[] = {
      {"100.0", false, "100.0\nfalse"},
      {"50", true, "50\ntrue"},
      {"", false, "\nfalse"},
      {"12\r\n34", true, "12\ntrue"},
      {std::string(300, '1'), false, std::string(255, '1') + "\nfalse"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.text, settings_text(c.frequency, c.show_debug)) << c.frequency;
  }
}

}  // namespace
