// The desktop program's decisions that need no window, each a table of
// inputs and whole expected results (gui_logic.golden). The window itself is
// driven under Wine in tests/gui.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "board_number.h"
#include "caret_position.h"
#include "command_line_path.h"
#include "control_layout.h"
#include "golden_file.h"
#include "line_ends.h"
#include "settings_text.h"
#include "window_title.h"

namespace {

// A field's bytes, written as gui_logic.golden describes.
std::string bytes(const std::string& field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '{') {
      const std::size_t times = field.find('*', i), end = field.find('}', times);
      out.append(std::stoul(field.substr(i + 1, times - i - 1)), bytes(field.substr(times + 1, end - times - 1))[0]);
      i = end;
    } else if (field[i] != '\\') {
      out += field[i];
    } else if (field[++i] == 'x') {
      out += static_cast<char>(std::stoi(field.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      const std::string from = "srnt0", to = std::string(" \r\n\t") + '\0';
      out += from.find(field[i]) != std::string::npos ? to[from.find(field[i])] : field[i];
    }
  }
  return out;
}

// The rows of every case of the table `name`, each a list of fields.
std::vector<std::vector<std::string>> rows(const std::string& name) {
  static const std::vector<GoldenCase> cases = read_golden_files(GUI_LOGIC_DIR);
  std::vector<std::vector<std::string>> found;
  for (const GoldenCase& c : cases) {
    if (c.name.rfind(name + ": ", 0) != 0) continue;
    std::istringstream lines(c.section("rows"));
    for (std::string line; std::getline(lines, line);) {
      if (line.empty()) continue;
      std::vector<std::string> fields;
      for (std::size_t from = 0, bar = 0; bar != std::string::npos; from = bar + 1) {
        bar = line.find('|', from);
        std::string field = line.substr(from, bar == std::string::npos ? bar : bar - from);
        field.erase(0, field.find_first_not_of(' '));
        field.erase(field.find_last_not_of(' ') + 1);
        fields.push_back(bytes(field));
      }
      found.push_back(fields);
    }
  }
  EXPECT_FALSE(found.empty()) << name;
  return found;
}

std::optional<std::string> maybe(const std::string& field) {
  return field == "none" ? std::nullopt : std::optional<std::string>(field);
}

using ::testing::PrintToString;

TEST(BoardNumber, OnlyDecimalDigitsNameABoard) {
  for (const auto& row : rows("board number")) {
    const std::optional<int> number = board_number_from_text(row[0]);
    EXPECT_EQ(maybe(row[1]), number ? std::optional<std::string>(std::to_string(*number)) : std::nullopt)
        << PrintToString(row[0]);
  }
  // Only the firmware id's low 16 bits are its major and minor number.
  EXPECT_EQ("Board number changed to 0\r\nFirmware ID: 255-0", board_changed_report(0, 0x7FFF00));
}

TEST(CaretPosition, CountsLinesAndColumnsOfTheTextBeforeTheCaret) {
  for (const auto& row : rows("caret position")) {
    const CaretPosition position = caret_position(row[0]);
    EXPECT_EQ(row[1] + " " + row[2], std::to_string(position.line) + " " + std::to_string(position.column))
        << PrintToString(row[0]);
  }
}

TEST(CommandLinePath, DropsEveryQuoteKeepsBlanksAndNeverCuts) {
  for (const auto& row : rows("command line path")) EXPECT_EQ(maybe(row[1]), command_line_path(row[0])) << row[0];
  EXPECT_EQ("b" + std::string(255, 'a') + "...", command_line_shown("\"b" + std::string(299, 'a') + "\""));
}

TEST(ControlLayout, PlacesEveryControlForAClientArea) {
  for (const auto& row : rows("control layout")) {
    const ControlLayout layout = compute_layout(std::stoi(row[0]), std::stoi(row[1]));
    for (std::size_t i = 0; i < kLayoutSlotCount; ++i) {
      const ControlPlace& place = layout[i];
      EXPECT_EQ(row.at(2 + i), std::to_string(place.x) + " " + std::to_string(place.y) + " " +
                                   std::to_string(place.width) + " " + std::to_string(place.height))
          << row[0] << "x" << row[1] << " slot " << i;
    }
  }
  // 11 pixels of pane space: 7.7 and 3.3 both truncate.
  EXPECT_TRUE((ControlPlace{0, 37, 500, 3}) == compute_layout(500, 61)[kOutputPaneSlot]);
}

TEST(LineEnds, ToAndFromThePanes) {
  for (const auto& row : rows("line ends")) {
    EXPECT_EQ(row[1], with_crlf_line_ends(row[0])) << PrintToString(row[0]);
    EXPECT_EQ(row[2], without_carriage_returns(row[1])) << PrintToString(row[1]);
  }
  for (const auto& row : rows("file bytes to the pane")) EXPECT_EQ(row[1], pane_text_from_file(row[0])) << PrintToString(row[0]);
}

TEST(SettingsText, ReadingAndWriting) {
  for (const auto& row : rows("settings reading")) {
    const Settings settings = parse_settings(row[0]);
    EXPECT_EQ(row[1], settings.frequency) << PrintToString(row[0]);
    EXPECT_EQ(row[2] == "true", settings.show_debug) << PrintToString(row[0]);
  }
  for (const auto& row : rows("settings writing")) EXPECT_EQ(row[2], settings_text(row[0], row[1] == "true")) << row[0];
}

TEST(WindowTitle, BaseNameAfterTheLastBackslash) {
  for (const auto& row : rows("window title")) EXPECT_EQ(row[1], window_title(row[0])) << row[0];
}

}  // namespace
