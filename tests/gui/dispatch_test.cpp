// Routing of commands and notifications, the debug option, Read Me and About.
#include <fstream>
#include <sstream>

#include "dialog_answerer.h"
#include "gui_fixture.h"
#include "resource_ids.h"
#include "run_program.h"

namespace {

TEST_F(GuiTest, ShowDebugInformationToggles) {
  start();
  const bool expected[] = {true, false, true, false};
  for (bool on : expected) {
    command(ID_SHOW_DEBUG);
    EXPECT_EQ(on, app.showDebug);
    EXPECT_EQ(on, debug_item_checked());
  }
}

TEST_F(GuiTest, OnlyASourceChangeMarksTheDocumentModified) {
  start();
  struct Case {
    int id;
    int notification;
    bool modified;
  } const cases[] = {
      {IDC_FREQUENCY_BOX, EN_CHANGE, false},
      {IDC_SOURCE, EN_SETFOCUS, false},
      {IDC_SOURCE, EN_UPDATE, false},
      {IDC_SOURCE, EN_CHANGE, true},
  };
  for (const Case& c : cases) {
    app.modified = false;
    set_output_text("unchanged");
    command(c.id, c.notification, app.sourcePane);
    EXPECT_EQ(c.modified, app.modified) << c.id << " " << c.notification;
    EXPECT_EQ("unchanged", output()) << c.id << " " << c.notification;
  }
}

TEST_F(GuiTest, ProgramSetTextMarksNothingTypedTextDoes) {
  start();
  SetWindowTextA(app.sourcePane, "0x1, 1us");
  SetWindowTextA(app.frequencyBox, "25");
  EXPECT_FALSE(app.modified);
  type_into_source("x");
  EXPECT_TRUE(app.modified);
}

TEST_F(GuiTest, ButtonsAndMenuItemsRunTheSameCommands) {
  documents_.write("saved.cdm", "");
  start();
  const std::pair<int, int> pairs[] = {{IDC_OPEN_BUTTON, ID_FILE_OPEN}, {IDC_SAVE_BUTTON, ID_FILE_SAVE}};
  for (const auto& [button, item] : pairs) {
    for (int id : {button, item}) {
      app.fileName.clear();
      user_.file_dialogs.clear();
      user_.file_choices = {std::nullopt};
      command(id, BN_CLICKED, nullptr);
      ASSERT_EQ(1u, user_.file_dialogs.size()) << id;
      EXPECT_EQ(id == IDC_OPEN_BUTTON || id == ID_FILE_OPEN, user_.file_dialogs[0].open) << id;
      EXPECT_EQ(user_.file_dialogs[0].open ? "No file opened." : "File not saved.", output()) << id;
    }
  }
}

TEST_F(GuiTest, ReadMeAsksTheShellToOpenTheHelpPage) {
  start();
  command(ID_HELP_READ_ME);
  ASSERT_EQ(1u, user_.shell_calls.size());
  const ShellCall& call = user_.shell_calls[0];
  EXPECT_EQ(nullptr, call.owner);
  EXPECT_EQ("open", call.verb);
  EXPECT_EQ(windows_path(install_.path()) + "\\Doc\\index.html", call.file);
  EXPECT_FALSE(call.has_parameters);
  EXPECT_FALSE(call.has_folder);
  EXPECT_EQ(SW_SHOW, call.show);
  EXPECT_TRUE(user_.boxes.empty());
}

// The real shell: .html pages are opened, for this test, by this test
// program itself, which notes the page it was given.
class ReadMeThroughTheShell : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CLASSES_ROOT, ".html", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    char previous[256] = {};
    DWORD size = sizeof previous - 1;
    had_previous_ = RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(previous), &size) ==
                    ERROR_SUCCESS;
    previous_ = previous;
    set_default_value(key, "CadmoraTestPage");
    RegCloseKey(key);
    const std::string command = "\"" + windows_path(program_folder() / "gui_tests.exe") + "\" --record-open \"" +
                                windows_path(marker()) + "\" \"%1\"";
    RegCreateKeyExA(HKEY_CLASSES_ROOT, "CadmoraTestPage\\shell\\open\\command", 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &key, nullptr);
    set_default_value(key, command);
    RegCloseKey(key);
  }
  void TearDown() override {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ".html", 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
      if (had_previous_) set_default_value(key, previous_);
      else RegDeleteValueA(key, nullptr);
      RegCloseKey(key);
    }
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "CadmoraTestPage\\shell\\open\\command");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "CadmoraTestPage\\shell\\open");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "CadmoraTestPage\\shell");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "CadmoraTestPage");
    GuiTest::TearDown();
  }
  static void set_default_value(HKEY key, const std::string& value) {
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
  }
  std::filesystem::path marker() const { return documents_ / "opened.txt"; }

  bool had_previous_ = false;
  std::string previous_;
};

TEST_F(ReadMeThroughTheShell, OpensTheInstalledHelpPage) {
  std::filesystem::create_directories(install_ / "Doc");
  install_.write("Doc/index.html", "<html><title>help</title></html>");
  user_.use_system_shell();
  start();
  command(ID_HELP_READ_ME);
  for (int waited = 0; waited < 200 && !documents_.exists("opened.txt"); ++waited) Sleep(100);
  ASSERT_TRUE(documents_.exists("opened.txt"));
  std::string opened = documents_.read("opened.txt");
  for (char& c : opened) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::string expected = windows_path(install_.path()) + "\\doc\\index.html";
  for (char& c : expected) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_EQ(expected, opened);
}

TEST_F(GuiTest, AboutShowsItsTitleLineInARealMessageBox) {
  user_.use_system_message_box();
  start();
  DialogAnswerer person(PressButton{IDOK});
  command(ID_HELP_ABOUT);
  const SeenDialog seen = person.result();
  ASSERT_TRUE(seen.appeared);
  EXPECT_EQ("About", seen.caption);
  EXPECT_EQ(0u, seen.text.find("Cadmora Interpreter - 20240820\r\n")) << seen.text;
}

TEST_F(GuiTest, AboutIsAnInformationBoxOwnedByTheWindow) {
  start();
  command(ID_HELP_ABOUT);
  ASSERT_EQ(1u, user_.boxes.size());
  EXPECT_EQ(app.mainWindow, user_.boxes[0].owner);
  EXPECT_EQ("About", user_.boxes[0].caption);
  EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONINFORMATION), user_.boxes[0].style);
}

TEST_F(GuiTest, UnknownCommandsGoToTheDefaultProcedure) {
  start();
  set_output_text("unchanged");
  EXPECT_EQ(0, command(999));
  EXPECT_EQ(0, command(1001));
  EXPECT_EQ("unchanged", output());
  EXPECT_TRUE(user_.boxes.empty());
}

TEST_F(GuiTest, ClosingWithUnsavedChangesAndCancelKeepsTheProgramRunning) {
  install_.write("interpreter.cfg", "77\nfalse");
  start();
  type_into_source("0x1, 1us");
  user_.box_answers = {IDCANCEL};
  EXPECT_EQ(0, SendMessageA(app.mainWindow, WM_CLOSE, 0, 0));
  ASSERT_EQ(1u, user_.boxes.size());
  EXPECT_EQ("Do you want to save the changes made to this file?", user_.boxes[0].text);
  EXPECT_TRUE(IsWindow(app.mainWindow));
  EXPECT_TRUE(app.modified);
  EXPECT_EQ("0x1, 1us", source());
  EXPECT_FALSE(quit_requested());
  EXPECT_EQ("77\nfalse", install_.read("interpreter.cfg"));
}

}  // namespace
