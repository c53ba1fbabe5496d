// The desktop program's decisions that need no window, each a table of
// inputs and whole expected results. The window itself is driven under Wine
// in tests/gui.
#include <gtest/gtest.h>

#include "board_number.h"
#include "caret_position.h"
#include "command_line_path.h"
#include "control_layout.h"
#include "line_ends.h"
#include "settings_text.h"
#include "window_title.h"

namespace {

using ::testing::PrintToString;

TEST(BoardNumber, OnlyDecimalDigitsNameABoard) {
  const std::pair<const char*, std::optional<int>> cases[] = {
      {"0", 0}, {"12", 12}, {"007", 7}, {"2147483647", 2147483647},
      {"2147483648", {}},  // no int holds it, so no board has it
      {"99999999999999999999", {}}, {"-1", {}}, {"+1", {}}, {" 1", {}}, {"1 ", {}}, {"1a", {}}, {"\xB9", {}},
      {"", {}},
  };
  for (const auto& [text, number] : cases) EXPECT_EQ(number, board_number_from_text(text)) << text;
  // Only the firmware id's low 16 bits are its major and minor number.
  EXPECT_EQ("Board number changed to 0\r\nFirmware ID: 255-0", board_changed_report(0, 0x7FFF00));
}

TEST(CaretPosition, CountsLinesAndColumnsOfTheTextBeforeTheCaret) {
  const std::tuple<std::string, int, int> cases[] = {
      {"", 1, 1}, {"ab\r\nc", 2, 2}, {"ab\r\n", 2, 1}, {"\t", 1, 2}, {"a\tb", 1, 4}, {"\r\n\r\n\r\n", 4, 1},
      {"x\ry", 1, 3},  // a lone CR is no line break and takes no column
      {"0x1, 10us\r\n\tLOOP: 0b1", 2, 11},
      {"a\nbc", 2, 3},      // a lone LF is a line break
      {"ab\r\r\nc", 2, 2},  // CR CR LF is one line break
      {"ab\r", 1, 3},       // the caret between the CR and the LF of a line break
      {std::string(300, '\n') + std::string(1000, 'a') + "\r\t", 301, 1002},  // longer than a counting run
  };
  for (const auto& [before_caret, line, column] : cases) {
    const CaretPosition position = caret_position(before_caret);
    EXPECT_EQ(line, position.line) << PrintToString(before_caret);
    EXPECT_EQ(column, position.column) << PrintToString(before_caret);
  }
}

TEST(CommandLinePath, DropsEveryQuoteKeepsBlanksAndNeverCuts) {
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {"test.cdm", "test.cdm"},
      {"\"C:\\My Programs\\test.cdm\"", "C:\\My Programs\\test.cdm"},
      {"C:\\My\" \"Programs\\test.cdm", "C:\\My Programs\\test.cdm"},
      {"  a b  ", "  a b  "},
      {"\"\"", ""},
      {"\"" + std::string(256, 'b') + "\"", std::string(256, 'b')},
      {std::string(257, 'a'), std::nullopt},
  };
  for (const auto& [command_line, path] : cases) EXPECT_EQ(path, command_line_path(command_line)) << command_line;
  EXPECT_EQ(std::string(256, 'a') + "...", command_line_shown("\"" + std::string(300, 'a') + "\""));
}

TEST(ControlLayout, PlacesEveryControlForAClientArea) {
  const struct {
    int width, height;
    ControlLayout expected;
  } cases[] = {
      // What a 640 x 480 window with a menu bar leaves inside: pane space
      // 371, of which 0.7 is 259.7 and 0.3 is 111.3, both truncated.
      {624, 421, {{{0, 0, 100, 30}, {100, 0, 100, 30}, {200, 0, 100, 30}, {300, 0, 100, 30}, {400, 0, 100, 30},
                   {0, 30, 624, 259}, {0, 289, 624, 111}, {0, 401, 125, 20}, {125, 401, 75, 20}, {200, 401, 30, 20},
                   {230, 401, 150, 20}, {360, 401, 50, 20}, {410, 401, 264, 20}}}},
      // Minimised: no room for the panes, and no negative size.
      {0, 0, {{{0, 0, 100, 30}, {100, 0, 100, 30}, {200, 0, 100, 30}, {300, 0, 100, 30}, {400, 0, 100, 30},
               {0, 30, 0, 0}, {0, -5, 0, 0}, {0, -20, 125, 20}, {125, -20, 75, 20}, {200, -20, 30, 20},
               {230, -20, 150, 20}, {360, -20, 50, 20}, {410, -20, 0, 20}}}},
  };
  for (const auto& c : cases) {
    const ControlLayout layout = compute_layout(c.width, c.height);
    for (std::size_t i = 0; i < kLayoutSlotCount; ++i)
      EXPECT_TRUE(c.expected[i] == layout[i]) << c.width << "x" << c.height << " slot " << i;
  }
  // 11 pixels of pane space: 7.7 and 3.3 both truncate.
  EXPECT_TRUE((ControlPlace{0, 37, 500, 3}) == compute_layout(500, 61)[kOutputPaneSlot]);
}

TEST(LineEnds, ToAndFromThePanes) {
  const std::tuple<std::string, std::string, std::string> cases[] = {
      // as read from a file in text mode, as the pane holds it, the pane's text written back
      {"", "", ""},
      {"a\nb\n", "a\r\nb\r\n", "a\nb\n"},
      {"\n\n", "\r\n\r\n", "\n\n"},
      {"a\rb", "a\rb", "ab"},  // a lone CR is kept on loading, dropped on saving
      {std::string("x\0y\xFF\n", 5), std::string("x\0y\xFF\r\n", 6), std::string("x\0y\xFF\n", 5)},
  };
  for (const auto& [lf_text, pane_text, saved_again] : cases) {
    EXPECT_EQ(pane_text, with_crlf_line_ends(lf_text)) << PrintToString(lf_text);
    EXPECT_EQ(saved_again, without_carriage_returns(pane_text)) << PrintToString(pane_text);
  }
}

TEST(LineEnds, FileBytesToThePane) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"a\nb", "a\r\nb"},
      {"a\r\nb\r\n", "a\r\nb\r\n"},
      {"a\r\r\nb", "a\r\r\nb"},
      {"a\rb\r", "a\rb\r"},
      {"\n\r\n\n", "\r\n\r\n\r\n"},
      {"0x1, 1us\x1a\n0x0, 1us\n", "0x1, 1us\x1a\r\n0x0, 1us\r\n"},
  };
  for (const auto& [file, pane] : cases) EXPECT_EQ(pane, pane_text_from_file(file)) << PrintToString(file);
}

TEST(SettingsText, Reading) {
  const std::tuple<std::string, std::string, bool> cases[] = {
      // as read in text mode, the frequency, the debug option
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
      // A first line over 255 characters is read in two pieces; the second
      // stands where the option would be.
      {std::string(255, '9') + "true\nfalse", std::string(255, '9'), true},
  };
  for (const auto& [text, frequency, show_debug] : cases) {
    const Settings settings = parse_settings(text);
    EXPECT_EQ(frequency, settings.frequency) << PrintToString(text);
    EXPECT_EQ(show_debug, settings.show_debug) << PrintToString(text);
  }
}

TEST(SettingsText, Writing) {
  const std::tuple<std::string, bool, std::string> cases[] = {
      {"100.0", false, "100.0\nfalse"},
      {"50", true, "50\ntrue"},
      {"", false, "\nfalse"},
      {"12\r\n34", true, "12\ntrue"},
      {std::string(300, '1'), false, std::string(255, '1') + "\nfalse"},
  };
  for (const auto& [frequency, show_debug, text] : cases)
    EXPECT_EQ(text, settings_text(frequency, show_debug)) << frequency;
}

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
