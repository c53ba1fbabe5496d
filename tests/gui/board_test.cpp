// Board selection, Load, Start, Stop and the output pane, end to end with
// the board emulator library.
#include <algorithm>

#include "dialog_answerer.h"
#include "gui_fixture.h"
#include "resource_ids.h"

namespace {

using Lines = std::vector<std::string>;

const char kNotFound[] = "Board number not found \n\n";
const char kProgram[] = "0x1, 10us\n0x0, 10us, STOP\n";

class BoardTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    // Load's temporary files go here, where a test can see them.
    set_environment("TMP", windows_path(temporary_.path()));
    set_environment("TEMP", windows_path(temporary_.path()));
  }
  void TearDown() override {
    GuiTest::TearDown();
    set_environment("TMP", original_tmp_);
    set_environment("TEMP", original_temp_);
  }

  // Starts with these emulator settings and forgets the start-up's calls.
  void start_with_boards(const std::string& settings) {
    configure_board(settings);
    start();
    forget_journal();
    user_.boxes.clear();
  }
  void set_source(const char* text) {
    std::string pane;
    for (const char* c = text; *c; ++c) {
      if (*c == '\n') pane += '\r';
      pane += *c;
    }
    SetWindowTextA(app.sourcePane, pane.c_str());
  }
  bool temporary_folder_empty() const {
    return std::filesystem::is_empty(temporary_.path());
  }

  TestFolder temporary_;
  std::string original_tmp_ = getenv("TMP") ? getenv("TMP") : "";
  std::string original_temp_ = getenv("TEMP") ? getenv("TEMP") : "";
};

Lines selection_calls(int board, int firmware_id) {
  const std::string n = std::to_string(board);
  return {"cdm_select_board " + n + " -> 0", "cdm_select_board " + n + " -> 0", "cdm_init -> 0",
          "cdm_get_firmware_id -> " + std::to_string(firmware_id), "cdm_close -> 0"};
}

std::string without_cr(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

Lines concat(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(BoardTest, StartUpSelectsBoardZeroThenProbes) {
  configure_board("firmware_id = 0x0102\n");
  start();
  EXPECT_EQ(concat(selection_calls(0, 0x0102),
                   {"cdm_init -> 0", "cdm_get_version", "cdm_set_debug 1 -> 0", "cdm_close -> 0"}),
            journal());
  EXPECT_EQ("0", app.boardNumberText);
}

TEST_F(BoardTest, TheBoardNumberBoxSelectsOnEveryChange) {
  struct Case {
    const char* text;
    std::string output;
    std::string accepted;
    Lines calls;
  } const cases[] = {
      {"007", "Board number changed to 7\r\nFirmware ID: 2-10", "7", selection_calls(7, 0x020A)},
      {"12", "Board number changed to 12\r\nError initializing board", "12",
       {"cdm_select_board 12 -> 0", "cdm_select_board 12 -> 0", "cdm_init -> 2"}},
      {"5", kNotFound, "0", {"cdm_select_board 5 -> -1"}},
      {"-1", kNotFound, "0", {}},
      {" 1", kNotFound, "0", {}},
      {"1a", kNotFound, "0", {}},
      {"99999999999", kNotFound, "0", {}},
      {"", "unchanged", "0", {}},
  };
  for (const Case& c : cases) {
    start_with_boards("boards = 0 1 7 12\nunopenable = 12\nfirmware_id = 0x020A\n");
    set_output_text("unchanged");
    set_box_text(app.boardBox, c.text);
    EXPECT_EQ(c.output, output()) << c.text;
    EXPECT_EQ(c.accepted, app.boardNumberText) << c.text;
    EXPECT_EQ(c.text, text_of(app.boardBox)) << c.text;
    EXPECT_EQ(c.calls, journal()) << c.text;
    EXPECT_TRUE(user_.boxes.empty()) << c.text;
    close_window();
  }
}

TEST_F(BoardTest, LoadProgramsTheBoardAndShowsTheReport) {
  for (int id : {IDC_LOAD_BUTTON, ID_BOARD_LOAD}) {
    start_with_boards("firmware_id = 0x0203\n");
    set_source(kProgram);
    SetWindowTextA(app.frequencyBox, "50");
    command(id);
    EXPECT_EQ("Using Clock Frequency of 50 MHz.\r\n\r\n\r\n2 instructions interpreted.\r\n"
              "Board 0 programmed successfully.\r\n",
              output())
        << id;
    EXPECT_EQ(concat(selection_calls(0, 0x0203),
                     {"cdm_init -> 0", "cdm_core_clock 50 -> 0", "cdm_start_programming 0 -> 0",
                      "cdm_inst_cdmonly 1 0 0 10000 -> 0", "cdm_inst_cdmonly 0 1 0 10000 -> 1",
                      "cdm_stop_programming -> 0", "cdm_close -> 0"}),
              journal())
        << id;
    EXPECT_EQ("50\n1 0 0 10000\n0 1 0 10000\n", without_cr(board_.read("board0.program"))) << id;
    EXPECT_TRUE(user_.boxes.empty()) << id;
    EXPECT_TRUE(temporary_folder_empty()) << id;
    close_window();
  }
}

TEST_F(BoardTest, AFailedLoadRaisesItsBoxBeforeTheReport) {
  struct Case {
    const char* settings;
    const char* source;
    const char* report_part;
    bool reaches_board;
  } const cases[] = {
      {"", "0x1 10us\n", "Expecting comma after 0X110US on line 1 starting at column 1.\r\n", false},
      {"", "0x1, 10us, BOGUS\n", "Command on line 1 is invalid.\r\n", true},
      {"fail_write_at = 1\nerror_text = memory fault\n", kProgram, "memory fault", true},
      {"unopenable = 0\n", kProgram, "Cadmora board not found.\r\n", true},
  };
  for (const Case& c : cases) {
    start_with_boards(c.settings);
    set_source(c.source);
    command(IDC_LOAD_BUTTON);
    ASSERT_EQ(1u, user_.boxes.size()) << c.source;
    EXPECT_EQ("Failed to program board.", user_.boxes[0].text);
    EXPECT_EQ("Error", user_.boxes[0].caption);
    EXPECT_EQ(app.mainWindow, user_.boxes[0].owner);
    // The box comes first; the report replaces the selection's line after it.
    EXPECT_EQ(0u, user_.boxes[0].output_then.find("Board number changed to 0\r\n")) << c.source;
    EXPECT_NE(std::string::npos, output().find(c.report_part)) << c.source << ": " << output();
    EXPECT_EQ(std::string::npos, output().find("Board number changed")) << c.source;
    // Selection opens the board once; the interpreter's run a second time.
    const Lines calls = journal();
    const auto opened = std::count_if(calls.begin(), calls.end(),
                                      [](const std::string& line) { return line.rfind("cdm_init", 0) == 0; });
    EXPECT_EQ(c.reaches_board ? 2 : 1, opened) << c.source;
    EXPECT_TRUE(temporary_folder_empty()) << c.source;
    close_window();
  }
}

TEST_F(BoardTest, AnUnusableBoardNumberStopsEachBoardCommand) {
  struct Case {
    int id;
    const char* message;
  } const cases[] = {
      {IDC_LOAD_BUTTON, "Failed to program board."}, {ID_BOARD_LOAD, "Failed to program board."},
      {IDC_START_BUTTON, "Failed to start board."},  {ID_BOARD_START, "Failed to start board."},
      {IDC_STOP_BUTTON, "Failed to stop board."},    {ID_BOARD_STOP, "Failed to stop board."},
  };
  for (const Case& c : cases) {
    start_with_boards("boards = 0 7\n");
    set_box_text(app.boardBox, "7");
    set_box_text(app.boardBox, "x7");
    forget_journal();
    set_source(kProgram);
    command(c.id);
    ASSERT_EQ(1u, user_.boxes.size()) << c.id;
    EXPECT_EQ(c.message, user_.boxes[0].text) << c.id;
    EXPECT_EQ("Error", user_.boxes[0].caption) << c.id;
    // The box is back at the last accepted number, which selected board 7
    // again before the message appeared.
    EXPECT_EQ("7", text_of(app.boardBox)) << c.id;
    EXPECT_EQ("Board number changed to 7\r\nFirmware ID: 2-3", user_.boxes[0].output_then) << c.id;
    EXPECT_EQ(selection_calls(7, 0x0203), journal()) << c.id;
    close_window();
  }
}

TEST_F(BoardTest, AnEmptyBoardBoxIsRefilledAndItsNumberUsed) {
  start_with_boards("boards = 0 7\n");
  set_box_text(app.boardBox, "7");
  set_box_text(app.boardBox, "");
  forget_journal();
  set_source(kProgram);
  command(IDC_LOAD_BUTTON);
  EXPECT_EQ("7", text_of(app.boardBox));
  EXPECT_NE(std::string::npos, output().find("Board 7 programmed successfully.")) << output();
  const Lines calls = journal();
  ASSERT_GE(calls.size(), 5u);
  EXPECT_EQ(selection_calls(7, 0x0203), Lines(calls.begin(), calls.begin() + 5));
  EXPECT_TRUE(board_.exists("board7.program"));
}

TEST_F(BoardTest, WithoutATemporaryFolderLoadReportsAndRunsNothing) {
  const std::string missing = windows_path(temporary_ / "gone");
  // Too long to hold a temporary file name within the path limit.
  std::string overlong = windows_path(temporary_.path()) + "\\";
  overlong += std::string(250 - overlong.size(), 't');
  for (const std::string& folder : {missing, overlong}) {
    set_environment("TMP", folder);
    set_environment("TEMP", folder);
    start_with_boards("");
    set_source(kProgram);
    command(IDC_LOAD_BUTTON);
    EXPECT_EQ(0u, output().find("Error opening " + folder)) << output();
    EXPECT_TRUE(user_.boxes.empty());
    EXPECT_EQ(5u, journal().size()) << "only the selection reached the board";
    close_window();
  }
}

TEST_F(BoardTest, StartAndStopDriveTheBoard) {
  struct Case {
    int id;
    const char* operation;
    const char* state;
  } const cases[] = {
      {IDC_START_BUTTON, "cdm_start -> 0", "running"},
      {ID_BOARD_STOP, "cdm_stop -> 0", "stopped"},
      {ID_BOARD_START, "cdm_start -> 0", "running"},
      {IDC_STOP_BUTTON, "cdm_stop -> 0", "stopped"},
  };
  for (const Case& c : cases) {
    start_with_boards("firmware_id = 0x0105\n");
    EXPECT_EQ(0, command(c.id)) << c.id;
    EXPECT_EQ(concat(selection_calls(0, 0x0105), {"cdm_init -> 0", c.operation, "cdm_close -> 0"}), journal());
    EXPECT_EQ(0u, board_.read("board0.state").find(c.state)) << c.id;
    EXPECT_EQ("Board number changed to 0\r\nFirmware ID: 1-5", output()) << c.id;
    EXPECT_TRUE(user_.boxes.empty()) << c.id;
    close_window();
  }
}

TEST_F(BoardTest, SaveOutputWritesThePaneText) {
  start_with_boards("");
  set_output_text("first line\r\nsecond line\r\n");
  const std::string name = windows_path(documents_ / "report.txt");
  user_.file_choices = {name};
  command(ID_SAVE_OUTPUT);
  EXPECT_EQ(platform_text("first line\nsecond line\n"), documents_.read("report.txt"));
  EXPECT_EQ("Wrote " + name + ".", output());
  ASSERT_EQ(1u, user_.file_dialogs.size());
  EXPECT_FALSE(user_.file_dialogs[0].open);

  // A second Save Output saves the line the first one left.
  user_.file_choices = {name};
  command(ID_SAVE_OUTPUT);
  EXPECT_EQ("Wrote " + name + ".", documents_.read("report.txt"));
}

TEST_F(BoardTest, SaveOutputFailures) {
  start_with_boards("");
  documents_.write("locked.txt", "old report");
  const std::string locked = windows_path(documents_ / "locked.txt");
  const std::string nowhere = windows_path(documents_ / "no folder" / "x.txt");

  set_output_text("report");
  user_.file_choices = {std::nullopt};
  command(ID_SAVE_OUTPUT);
  EXPECT_EQ("File not saved.", output());

  user_.file_choices = {nowhere};
  command(ID_SAVE_OUTPUT);
  EXPECT_EQ("Error opening " + nowhere + ".", output());

  set_output_text("report");
  HANDLE holder =
      CreateFileA(locked.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  user_.file_choices = {locked};
  command(ID_SAVE_OUTPUT);
  CloseHandle(holder);
  EXPECT_EQ("Error writing " + locked + ".", output());
  EXPECT_EQ("old report", documents_.read("locked.txt"));
}

}  // namespace
