// Start-up: the installation folder, a file named on the command line, the
// board probe, and the board's stop after the message loop.
#include "dialog_answerer.h"
#include "gui_fixture.h"
#include "startup.h"

namespace {

using Lines = std::vector<std::string>;

Lines tail(const Lines& lines, std::size_t count) {
  if (lines.size() < count) return lines;
  return Lines(lines.end() - static_cast<std::ptrdiff_t>(count), lines.end());
}

TEST_F(GuiTest, StartsUntitledAndShowsTheBoardProbe) {
  configure_board("version = 4.2 test\n");
  start();
  EXPECT_EQ("Morvane Cadmora Interpreter", title());
  EXPECT_EQ("", source());
  EXPECT_EQ("Line 1, Column 1", text_of(app.positionLabel));
  EXPECT_EQ("Cadmora board found.\r\nUsing MorvAPI version 4.2 test.", output());
  EXPECT_EQ("", app.fileName);
  EXPECT_FALSE(app.modified);
  EXPECT_EQ(windows_path(install_.path()), app.installDir);
  EXPECT_TRUE(user_.boxes.empty());
  EXPECT_EQ((Lines{"cdm_init -> 0", "cdm_get_version", "cdm_set_debug 1 -> 0", "cdm_close -> 0"}),
            tail(journal(), 4));
}

TEST_F(GuiTest, WithoutABoardTheProbeSaysSo) {
  configure_board("boards = none\n");
  start();
  EXPECT_EQ("No Cadmora board found.", output());
  EXPECT_EQ("cdm_init -> 1", journal().back());
}

TEST_F(GuiTest, OpensTheFileNamedOnTheCommandLine) {
  std::filesystem::create_directories(documents_ / "My Programs");
  documents_.write("My Programs/test.cdm", "0x1, 10us\n0x0, 10us\n");
  documents_.write("relative.cdm", "STOP\n");
  const std::string full = windows_path(documents_ / "My Programs" / "test.cdm");
  const std::string relative = windows_path(documents_ / "relative.cdm");
  SetCurrentDirectoryA(windows_path(documents_.path()).c_str());
  struct Case {
    std::string command_line;
    std::string file_name;
    std::string title;
    std::string source;
  } const cases[] = {
      {"\"" + full + "\"", full, "test.cdm - Morvane Cadmora Interpreter", "0x1, 10us\r\n0x0, 10us\r\n"},
      {full, full, "test.cdm - Morvane Cadmora Interpreter", "0x1, 10us\r\n0x0, 10us\r\n"},
      {"relative.cdm", relative, "relative.cdm - Morvane Cadmora Interpreter", "STOP\r\n"},
      {"\"relative.cdm\"", relative, "relative.cdm - Morvane Cadmora Interpreter", "STOP\r\n"},
  };
  for (const Case& c : cases) {
    SetCurrentDirectoryA(windows_path(documents_.path()).c_str());
    start(c.command_line.c_str());
    EXPECT_EQ(c.file_name, app.fileName) << c.command_line;
    EXPECT_EQ(c.title, title()) << c.command_line;
    EXPECT_EQ(c.source, source()) << c.command_line;
    EXPECT_FALSE(app.modified) << c.command_line;
    // The probe's line replaces "File opened.".
    EXPECT_EQ(0u, output().find("Cadmora board found.")) << c.command_line;
    EXPECT_TRUE(user_.boxes.empty()) << c.command_line;
    close_window();
  }
}

TEST_F(GuiTest, AShortPathBecomesItsLongForm) {
  documents_.write("a rather long file name.cdm", "STOP\n");
  const std::string full = windows_path(documents_ / "a rather long file name.cdm");
  char short_form[MAX_PATH] = {};
  ASSERT_NE(0u, GetShortPathNameA(full.c_str(), short_form, MAX_PATH));
  ASSERT_NE(full, short_form);
  start(short_form);
  char expected[MAX_PATH] = {};
  GetLongPathNameA(short_form, expected, MAX_PATH);
  EXPECT_EQ(expected, app.fileName);
  EXPECT_EQ("a rather long file name.cdm - Morvane Cadmora Interpreter", title());
}

TEST_F(GuiTest, AMissingCommandLineFileIsReportedInARealMessageBox) {
  user_.use_system_message_box();
  const std::string missing = windows_path(documents_ / "missing.cdm");
  DialogAnswerer person(PressButton{IDOK});
  start(("\"" + missing + "\"").c_str());
  const SeenDialog seen = person.result();
  ASSERT_TRUE(seen.appeared);
  EXPECT_EQ("Error", seen.caption);
  EXPECT_EQ("Unable to open " + missing + ".", seen.text);
  EXPECT_EQ("", app.fileName);
  EXPECT_EQ("Morvane Cadmora Interpreter", title());
  EXPECT_EQ("", source());
}

TEST_F(GuiTest, MissingCommandLineFileBoxIsOwnedByTheWindowWithAnErrorIcon) {
  start("nowhere\\missing.cdm");
  ASSERT_EQ(1u, user_.boxes.size());
  EXPECT_EQ(app.mainWindow, user_.boxes[0].owner);
  EXPECT_EQ("Unable to open nowhere\\missing.cdm.", user_.boxes[0].text);
  EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), user_.boxes[0].style);
}

TEST_F(GuiTest, TheInstallationFolderBecomesTheWorkingDirectory) {
  install_.write("interpreter.cfg", "12.5\nfalse");
  start();
  EXPECT_EQ(windows_path(install_.path()), current_directory());
  EXPECT_EQ("12.5", text_of(app.frequencyBox));
}

TEST_F(GuiTest, WithoutTheRegistryKeyTheStartDirectoryIsKept) {
  remove_install_key();
  documents_.write("interpreter.cfg", "42\ntrue");
  SetCurrentDirectoryA(windows_path(documents_.path()).c_str());
  start();
  EXPECT_STREQ("", app.installDir);
  EXPECT_EQ(windows_path(documents_.path()), current_directory());
  EXPECT_EQ("42", text_of(app.frequencyBox));
  EXPECT_TRUE(app.showDebug);
  EXPECT_TRUE(debug_item_checked());
}

TEST_F(GuiTest, AnInstallationFolderTooLongForItsBufferIsNotCut) {
  write_install_key("C:\\" + std::string(300, 'f'));
  start();
  EXPECT_STREQ("", app.installDir);
}

TEST_F(GuiTest, AfterTheMessageLoopARunningBoardIsStopped) {
  start();
  forget_journal();
  PostMessageA(app.mainWindow, WM_CLOSE, 0, 0);
  EXPECT_EQ(0, run_message_loop());
  stop_board_at_exit();
  EXPECT_EQ((Lines{"cdm_init -> 0", "cdm_stop -> 0", "cdm_close -> 0"}), journal());
  EXPECT_EQ(0u, board_.read("board0.state").find("stopped"));
}

TEST_F(GuiTest, AfterTheMessageLoopWithoutABoardNothingMoreIsCalled) {
  configure_board("boards = none\n");
  start();
  forget_journal();
  PostMessageA(app.mainWindow, WM_CLOSE, 0, 0);
  EXPECT_EQ(0, run_message_loop());
  stop_board_at_exit();
  EXPECT_EQ((Lines{"cdm_init -> 1"}), journal());
}

TEST_F(GuiTest, AClassThatCannotBeRegisteredEndsStartUp) {
  start();
  const HWND first = app.mainWindow;
  // The class is still registered by the first start.
  EXPECT_FALSE(create_main_window(GetModuleHandleA(nullptr), "", SW_SHOWNOACTIVATE));
  ASSERT_EQ(1u, user_.boxes.size());
  EXPECT_EQ(nullptr, user_.boxes[0].owner);
  EXPECT_EQ("Window Registration Failed!", user_.boxes[0].text);
  EXPECT_EQ("Error!", user_.boxes[0].caption);
  EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), user_.boxes[0].style);
  EXPECT_EQ(first, app.mainWindow);
}

TEST_F(GuiTest, ADestroyedWindowEndsTheMessageLoop) {
  start();
  DestroyWindow(app.mainWindow);
  app.mainWindow = nullptr;
  EXPECT_EQ(0, run_message_loop());
}

}  // namespace
