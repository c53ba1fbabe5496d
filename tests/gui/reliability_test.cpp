// cdmgui keeps to the user's files: a document is saved where it was opened
// from, a command line is never cut into another file's name, help and
// settings stay in fixed folders, and saving needs no more rights than
// writing the file itself.
#include <filesystem>

#include "gui_fixture.h"
#include "resource_ids.h"

namespace {

TEST_F(GuiTest, ARelativeCommandLineFileIsSavedWhereItWasOpened) {
  documents_.write("prog.cdm", "old\n");
  install_.write("prog.cdm", "other\n");
  SetCurrentDirectoryA(windows_path(documents_.path()).c_str());
  start("prog.cdm");
  EXPECT_EQ("prog.cdm - Morvane Cadmora Interpreter", title());
  type_into_source("x");
  command(ID_FILE_SAVE);
  EXPECT_EQ("Wrote " + windows_path(documents_ / "prog.cdm") + ".", output());
  EXPECT_EQ(platform_text("xold\n"), documents_.read("prog.cdm"));
  EXPECT_EQ("other\n", install_.read("prog.cdm"));
}

TEST_F(GuiTest, ACommandLinePathTooLongIsRefusedNotCut) {
  // The first 256 characters name an existing file.
  const std::string folder = windows_path(documents_.path()) + "\\";
  const std::string existing = std::string(256 - folder.size(), 'n');
  documents_.write(existing, "STOP\n");
  start((folder + existing + ".cdm").c_str());
  ASSERT_EQ(1u, user_.boxes.size());
  EXPECT_EQ("Unable to open " + folder + existing + "....", user_.boxes[0].text);
  EXPECT_EQ("", source());
  EXPECT_EQ("", app.fileName);
}

TEST_F(GuiTest, ReadMeWithoutAnInstallationFolderOpensThePageBesideTheProgram) {
  remove_install_key();
  start();
  command(ID_HELP_READ_ME);
  char program[MAX_PATH] = {};
  const std::filesystem::path folder =
      std::filesystem::path(std::string(program, GetModuleFileNameA(nullptr, program, MAX_PATH))).parent_path();
  ASSERT_EQ(1u, user_.shell_calls.size());
  EXPECT_EQ(windows_path(folder / "Doc" / "index.html"), user_.shell_calls[0].file);
}

TEST_F(GuiTest, WithoutTheKeySettingsStayInTheFolderTheProgramStartedIn) {
  remove_install_key();
  documents_.write("interpreter.cfg", "42\ntrue");
  std::filesystem::create_directories(documents_ / "elsewhere");
  SetCurrentDirectoryA(windows_path(documents_.path()).c_str());
  start();
  EXPECT_EQ("42", text_of(app.frequencyBox));
  SetCurrentDirectoryA(windows_path(documents_ / "elsewhere").c_str());  // as a file dialog may leave it
  SetWindowTextA(app.frequencyBox, "7");
  command(ID_FILE_EXIT);
  EXPECT_TRUE(quit_requested());
  EXPECT_EQ("7\r\ntrue", documents_.read("interpreter.cfg"));
  EXPECT_FALSE(documents_.exists("elsewhere/interpreter.cfg"));
}

TEST_F(GuiTest, SavingWritesInPlaceWhereNothingFitsBesideTheFile) {
  // A file whose path is 255 characters: writable, but no other name made
  // from it fits beside it.
  const std::string folder = windows_path(documents_.path()) + "\\";
  const std::string deep = std::string(255 - folder.size() - 6, 'd');
  std::filesystem::create_directories(documents_ / deep);
  documents_.write(deep + "/a.cdm", "old\n");
  const std::string target = folder + deep + "\\a.cdm";
  start(target.c_str());
  type_into_source("x");
  command(ID_FILE_SAVE);
  EXPECT_EQ("Wrote " + target + ".", output());
  EXPECT_EQ(platform_text("xold\n"), documents_.read(deep + "/a.cdm"));
}

TEST_F(GuiTest, ASaveCutShortLeavesNothingBehindAfterTheNextSave) {
  documents_.write("doc.cdm", "old\n");
  documents_.write("doc.cdm.saving", "half");  // what a crash mid-save leaves
  start(windows_path(documents_ / "doc.cdm").c_str());
  type_into_source("x");
  command(ID_FILE_SAVE);
  EXPECT_EQ(platform_text("xold\n"), documents_.read("doc.cdm"));
  EXPECT_FALSE(documents_.exists("doc.cdm.saving"));
}

}  // namespace
