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
#include "diagram_layout.h"
#include "edge_search.h"
#include "golden_file.h"
#include "line_ends.h"
#include "settings_text.h"
#include "time_text.h"
#include "timing_texts.h"
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

// Fields of blank-separated numbers.
std::vector<double> numbers(const std::string& field) {
  std::vector<double> values;
  std::istringstream in(field);
  for (double value; in >> value;) values.push_back(value);
  return values;
}

std::optional<std::uint64_t> maybe_cycle(const std::string& field) {
  return field == "none" ? std::nullopt : std::optional<std::uint64_t>(std::stoull(field));
}

std::string shown(std::optional<std::uint64_t> value) { return value ? std::to_string(*value) : "none"; }

TEST(DiagramSpan, ANewRunIsShownWholeUnlessTheSameProgramRunsAsLong) {
  for (const auto& row : rows("diagram span")) {
    const std::vector<double> old = numbers(row[0]);
    const DiagramView shown_before{static_cast<std::uint64_t>(old[0]), static_cast<std::uint64_t>(old[1]),
                                   static_cast<std::uint64_t>(old[2])};
    const RerunCause cause = row[2] == "document" ? RerunCause::Document : RerunCause::Refresh;
    const DiagramView span = span_after_run(shown_before, std::stoull(row[1]), cause);
    EXPECT_EQ(row[3], std::to_string(span.total) + " " + std::to_string(span.from) + " " + std::to_string(span.to))
        << row[0] << " then " << row[1] << " " << row[2];
  }
}

TEST(DiagramRows, TheOutputRowsShareTheHeight) {
  for (const auto& row : rows("diagram rows")) {
    const DiagramRows shared = share_height(std::stod(row[0]), std::stoul(row[1]), std::stoul(row[2]));
    EXPECT_EQ(row[3], short_number(shared.plot_top) + " " + short_number(shared.row_height) + " " +
                          short_number(shared.axis_top))
        << row[0] << " " << row[1] << " " << row[2];
  }
  for (const auto& row : rows("row at")) {
    const std::size_t traces = std::stoul(row[2]);
    const auto found = row_at(share_height(std::stod(row[0]), std::stoul(row[1]), traces), traces, std::stod(row[3]));
    EXPECT_EQ(row[4], found ? std::to_string(*found) : "none") << "y " << row[3];
  }
}

TEST(DiagramRows, UnchangingOutputsAreAddedLowInOutputOrder) {
  DiagramModel model;
  model.traces = {{3, "laser", true, {{TracePiece::Edge, 80, 80, false}}}, {7, "out7", false, {}}};
  OutputLabels labels;
  labels.names[3] = "laser";
  labels.names[5] = "camera";
  add_unchanging_traces(model, labels);
  EXPECT_EQ(2u, model.traces.size()) << "a model without columns has nothing to draw them on";
  model.columns.push_back({72, 1032, DiagramBin{}});
  add_unchanging_traces(model, labels);
  ASSERT_EQ(24u, model.traces.size());
  for (int bit = 0; bit < 24; ++bit) {
    EXPECT_EQ(bit, model.traces[bit].bit);
    EXPECT_EQ(labels.label(bit), model.traces[bit].label);
    EXPECT_EQ(bit == 3, model.traces[bit].starts_high) << bit;
    EXPECT_EQ(bit == 3 ? 1u : 0u, model.traces[bit].pieces.size()) << bit;
  }
}

// A run of steps written "cycles:outputs ...", one after another from cycle
// 0, each its own instruction; "/N" cuts the shown run at N cycles.
RunRecord run_of(const std::string& text) {
  RunRecord run;
  std::istringstream in(text);
  Step step;
  std::uint64_t horizon = kCycleLimit;
  for (std::string word; in >> word; ++step.address) {
    if (word[0] == '/') {
      horizon = std::stoull(word.substr(1));
      break;
    }
    step.cycles = std::stoull(word);
    step.outputs = static_cast<std::uint32_t>(std::stoul(word.substr(word.find(':') + 1)));
    run.step(step);
    step.cycle += step.cycles;
  }
  RunEnd end;
  end.cycle = step.cycle;
  run.finish(end, horizon);
  return run;
}

TEST(EdgeSearch, NextAndPreviousChangeOfAnOutput) {
  for (const auto& row : rows("edge search")) {
    const RunRecord run = run_of(row[0]);
    const int bit = std::stoi(row[1]);
    const std::uint64_t cycle = std::stoull(row[2]);
    EXPECT_EQ(row[3], shown(find_edge(run, bit, cycle, EdgeDirection::Next)))
        << row[0] << " bit " << bit << " from " << cycle;
    EXPECT_EQ(row[4], shown(find_edge(run, bit, cycle, EdgeDirection::Previous)))
        << row[0] << " bit " << bit << " from " << cycle;
  }
  // A loop of two instructions going round a thousand times: the search
  // crosses the record's checkpoints, which every few hundred steps hold
  // where a step starts.
  RunRecord loop;
  Step step;
  for (int i = 0; i < 2000; ++i, step.cycle += 5) {
    step.address = static_cast<std::uint32_t>(i % 2);
    step.outputs = step.address;
    step.cycles = 5;
    loop.step(step);
  }
  RunEnd end;
  end.cycle = step.cycle;
  loop.finish(end, kCycleLimit);
  EXPECT_EQ("2505", shown(find_edge(loop, 0, 2501, EdgeDirection::Next)));
  EXPECT_EQ("3995", shown(find_edge(loop, 0, 4000, EdgeDirection::Previous)));
  EXPECT_EQ("none", shown(find_edge(loop, 0, 9995, EdgeDirection::Next)));
}

TEST(TimingTexts, CursorsTitleAndSettings) {
  for (const auto& row : rows("cursors"))
    EXPECT_EQ(row[3], cursors_text({maybe_cycle(row[1]), maybe_cycle(row[2])}, std::stod(row[0])))
        << row[1] << " " << row[2];
  for (const auto& row : rows("run title")) {
    EndReason reason = EndReason::Stop;
    while (reason != EndReason::Error && end_reason_text(reason) != row[3])
      reason = static_cast<EndReason>(static_cast<int>(reason) + 1);
    EXPECT_EQ(row[5], run_title(row[0], std::stod(row[1]), std::stoull(row[2]), reason, std::stoull(row[4])));
  }
  for (const auto& row : rows("setting time")) {
    double ns = -1;
    std::string problem;
    const bool read = read_setting_time(row[0], ns, problem);
    EXPECT_EQ(row[1], read ? short_number(ns, 0) : problem) << row[0];
  }
}

TEST(WindowTitle, BaseNameAfterTheLastBackslash) {
  for (const auto& row : rows("window title")) EXPECT_EQ(row[1], window_title(row[0])) << row[0];
}

}  // namespace
