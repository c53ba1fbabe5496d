// The settings file: defaults, reading, the exact bytes written on exit,
// and the exit sequence's prompt.
#include "gui_fixture.h"
#include "resource_ids.h"

namespace {

TEST_F(GuiTest, FirstStartUsesDefaultsAndExitWritesThemByteForByte) {
  start();
  EXPECT_EQ("100.0", text_of(app.frequencyBox));
  EXPECT_FALSE(debug_item_checked());
  EXPECT_EQ("0", text_of(app.boardBox));
  command(ID_FILE_EXIT);
  EXPECT_TRUE(quit_requested());
  EXPECT_EQ(std::string("100.0\r\nfalse"), install_.read("interpreter.cfg"));
  EXPECT_TRUE(user_.boxes.empty());
}

TEST_F(GuiTest, SettingsSurviveARestart) {
  start();
  command(ID_SHOW_DEBUG);
  SetWindowTextA(app.frequencyBox, "50");
  SendMessageA(app.mainWindow, WM_CLOSE, 0, 0);
  EXPECT_TRUE(quit_requested());
  EXPECT_EQ("50\r\ntrue", install_.read("interpreter.cfg"));
  close_window();
  start();
  EXPECT_EQ("50", text_of(app.frequencyBox));
  EXPECT_TRUE(app.showDebug);
  EXPECT_TRUE(debug_item_checked());
  EXPECT_EQ("0", text_of(app.boardBox));
}

TEST_F(GuiTest, ReadingTheSettingsFile) {
  struct Case {
    std::string bytes;
    std::string frequency;
    bool debug;
  } const cases[] = {
      {"50\r\ntrue", "50", true},
      {"50\r\ntrue, and then some", "50", true},
      {"50\r\nTrue", "50", false},
      {"50\r\nTRUE", "50", false},
      {"50\r\nyes", "50", false},
      {"50\r\n1", "50", false},
      {"12.5\r\n\r\n", "12.5", false},
      {"", "100.0", false},
  };
  for (const Case& c : cases) {
    install_.write("interpreter.cfg", c.bytes);
    start();
    EXPECT_EQ(c.frequency, text_of(app.frequencyBox)) << c.bytes;
    EXPECT_EQ(c.debug, app.showDebug) << c.bytes;
    EXPECT_EQ(c.debug, debug_item_checked()) << c.bytes;
    close_window();
  }
}

TEST_F(GuiTest, ExitWithUnsavedChanges) {
  struct Case {
    int answer;
    bool quits;
    std::string settings;
  } const cases[] = {
      {IDCANCEL, false, "old settings"},
      {IDNO, true, "100.0\r\nfalse"},
      {IDYES, true, "100.0\r\nfalse"},
  };
  for (const Case& c : cases) {
    install_.write("interpreter.cfg", "old settings");
    documents_.write("doc.cdm", "old\n");
    start(windows_path(documents_ / "doc.cdm").c_str());
    SetWindowTextA(app.frequencyBox, "100.0");
    type_into_source("x");
    user_.box_answers = {c.answer};
    command(ID_FILE_EXIT);
    EXPECT_EQ(c.quits, quit_requested()) << c.answer;
    EXPECT_EQ(c.settings, install_.read("interpreter.cfg")) << c.answer;
    EXPECT_EQ(c.answer == IDYES ? platform_text("xold\n") : "old\n", documents_.read("doc.cdm")) << c.answer;
    close_window();
  }
}

TEST_F(GuiTest, ExitReturnsToTheInstallationFolderFirst) {
  start();
  SetCurrentDirectoryA(windows_path(documents_.path()).c_str());  // as a file dialog may leave it
  command(ID_FILE_EXIT);
  EXPECT_TRUE(quit_requested());
  EXPECT_TRUE(install_.exists("interpreter.cfg"));
  EXPECT_FALSE(documents_.exists("interpreter.cfg"));
}

TEST_F(GuiTest, AnUnwritableSettingsFileDoesNotStopTheExit) {
  install_.write("interpreter.cfg", "33\nfalse");
  SetFileAttributesA(windows_path(install_ / "interpreter.cfg").c_str(), FILE_ATTRIBUTE_READONLY);
  start();
  SetWindowTextA(app.frequencyBox, "44");
  command(ID_FILE_EXIT);
  EXPECT_TRUE(quit_requested());
  EXPECT_TRUE(user_.boxes.empty());
  SetFileAttributesA(windows_path(install_ / "interpreter.cfg").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ("33\nfalse", install_.read("interpreter.cfg"));
}

TEST_F(GuiTest, TheFrequencyIsWrittenAsTypedUpToItsFirstCarriageReturn) {
  start();
  SetWindowTextA(app.frequencyBox, (std::string(300, '7')).c_str());
  command(ID_FILE_EXIT);
  EXPECT_TRUE(quit_requested());
  EXPECT_EQ(std::string(255, '7') + "\r\nfalse", install_.read("interpreter.cfg"));
}

}  // namespace
