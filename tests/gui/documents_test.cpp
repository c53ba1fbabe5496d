// New, Open, Save and Save As with the unsaved-changes prompt, the title
// and the reports, on real files.
#include <algorithm>

#include "dialog_answerer.h"
#include "gui_fixture.h"
#include "resource_ids.h"

namespace {

const char kPrompt[] = "Do you want to save the changes made to this file?";

class DocumentTest : public GuiTest {
 protected:
  // A named, edited document: doc.cdm holds "old\n", the pane "new".
  void start_with_edited_document() {
    documents_.write("doc.cdm", "old\n");
    start(path("doc.cdm").c_str());
    SetWindowTextA(app.sourcePane, "");
    type_into_source("new");
    ASSERT_TRUE(app.modified);
  }
  std::string path(const char* name) const { return windows_path(documents_ / name); }
  std::vector<std::string> files_in_documents() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(documents_.path()))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(DocumentTest, NewWithThePromptAnswered) {
  struct Case {
    int answer;
    bool emptied;
    std::string file_on_disk;
    bool modified;
    std::string output;
  };
  for (const Case& c : {
           Case{IDYES, true, "new", false, ""},
           Case{IDNO, true, "old\n", false, ""},
           Case{IDCANCEL, false, "old\n", true, "unchanged"},
       }) {
    start_with_edited_document();
    set_output_text("unchanged");
    user_.boxes.clear();
    user_.box_answers = {c.answer};
    command(ID_FILE_NEW);
    ASSERT_EQ(1u, user_.boxes.size()) << c.answer;
    EXPECT_EQ(kPrompt, user_.boxes[0].text);
    EXPECT_EQ("Question", user_.boxes[0].caption);
    EXPECT_EQ(app.mainWindow, user_.boxes[0].owner);
    EXPECT_EQ(c.emptied ? "" : "new", source()) << c.answer;
    EXPECT_EQ(c.emptied ? "Morvane Cadmora Interpreter" : "doc.cdm - Morvane Cadmora Interpreter", title());
    EXPECT_EQ(c.emptied ? "" : path("doc.cdm"), app.fileName) << c.answer;
    EXPECT_EQ(c.file_on_disk, documents_.read("doc.cdm")) << c.answer;
    EXPECT_EQ(c.modified, app.modified) << c.answer;
    EXPECT_EQ(c.output, output()) << c.answer;
    close_window();
  }
}

TEST_F(DocumentTest, OpenReadsFilesWithAnyLineEnds) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string pane;
  } const cases[] = {
      {"lf.cdm", "0x1, 1us\nSTOP\n", "0x1, 1us\r\nSTOP\r\n"},
      {"crlf.cdm", "0x1, 1us\r\nSTOP\r\n", "0x1, 1us\r\nSTOP\r\n"},
      {"empty.cdm", "", ""},
      {"high.cdm", "a\xFF" "b\n", "a\xFF" "b\r\n"},
      {"lone-cr.cdm", "a\rb", "a\rb"},
      {"ctrl-z.cdm", "0x1, 1us\x1a\r\n0x0, 1us\r\n", "0x1, 1us\x1a\r\n0x0, 1us\r\n"},
  };
  start();
  for (const Case& c : cases) {
    documents_.write(c.name, c.bytes);
    SetWindowTextA(app.sourcePane, "previous");
    user_.file_choices = {path(c.name)};
    command(ID_FILE_OPEN);
    EXPECT_EQ(c.pane, source()) << c.name;
    EXPECT_EQ("Opened " + path(c.name) + ".", output()) << c.name;
    EXPECT_EQ(path(c.name), app.fileName) << c.name;
    EXPECT_EQ(std::string(c.name) + " - Morvane Cadmora Interpreter", title());
    EXPECT_FALSE(app.modified) << c.name;
  }
  type_into_source("x");
  EXPECT_TRUE(app.modified);
}

TEST_F(DocumentTest, OpenThatFailsChangesNothing) {
  start_with_edited_document();
  user_.box_answers = {IDNO};
  user_.file_choices = {std::nullopt};
  command(IDC_OPEN_BUTTON);
  EXPECT_EQ("No file opened.", output());
  EXPECT_EQ("new", source());
  EXPECT_FALSE(app.modified);  // the No stands even though the command was abandoned
  EXPECT_EQ(path("doc.cdm"), app.fileName);

  user_.file_choices = {path("vanished.cdm")};
  command(ID_FILE_OPEN);
  EXPECT_EQ("Error opening " + path("vanished.cdm") + ".", output());
  EXPECT_EQ("new", source());
  EXPECT_EQ(path("doc.cdm"), app.fileName);
  EXPECT_EQ("doc.cdm - Morvane Cadmora Interpreter", title());
}

TEST_F(DocumentTest, SavingAnUntitledDocumentNamesItButTheTitleWaits) {
  start();
  type_into_source("0x1, 1us\n\tSTOP");
  user_.file_choices = {path("first.cdm")};
  command(IDC_SAVE_BUTTON);
  EXPECT_EQ(platform_text("0x1, 1us\n\tSTOP"), documents_.read("first.cdm"));
  EXPECT_EQ("Wrote " + path("first.cdm") + ".", output());
  EXPECT_EQ(path("first.cdm"), app.fileName);
  EXPECT_FALSE(app.modified);
  EXPECT_EQ("Morvane Cadmora Interpreter", title());

  // Save As refreshes the title at once.
  user_.file_choices = {path("second.cdm")};
  command(ID_FILE_SAVE_AS);
  EXPECT_EQ("second.cdm - Morvane Cadmora Interpreter", title());
  EXPECT_EQ(path("second.cdm"), app.fileName);

  // A named document is saved without a dialog.
  type_into_source("\n");
  command(ID_FILE_SAVE);
  EXPECT_EQ(1u, user_.file_dialogs.size() - 1);
  EXPECT_EQ(platform_text("0x1, 1us\n\tSTOP\n"), documents_.read("second.cdm"));
  EXPECT_EQ(std::vector<std::string>({"first.cdm", "second.cdm"}), files_in_documents());
}

TEST_F(DocumentTest, SavingToAReadOnlyFileIsRefused) {
  start_with_edited_document();
  SetFileAttributesA(path("doc.cdm").c_str(), FILE_ATTRIBUTE_READONLY);
  command(ID_FILE_SAVE);
  EXPECT_EQ("Error opening " + path("doc.cdm") + ".", output());
  EXPECT_TRUE(app.modified);
  EXPECT_EQ("old\n", documents_.read("doc.cdm"));

  user_.file_choices = {path("doc.cdm")};
  command(ID_FILE_SAVE_AS);
  EXPECT_EQ("Error opening " + path("doc.cdm") + ".", output());
  SetFileAttributesA(path("doc.cdm").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(std::vector<std::string>({"doc.cdm"}), files_in_documents());
}

TEST_F(DocumentTest, AFailedSaveKeepsTheOldFile) {
  start_with_edited_document();
  // Another program holds the file open and does not let it be replaced.
  HANDLE holder = CreateFileA(path("doc.cdm").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, holder);
  command(ID_FILE_SAVE);
  CloseHandle(holder);
  EXPECT_EQ("Error writing " + path("doc.cdm") + ".", output());
  EXPECT_TRUE(app.modified);
  EXPECT_EQ("old\n", documents_.read("doc.cdm"));
  EXPECT_EQ(std::vector<std::string>({"doc.cdm"}), files_in_documents());

  // The prompt's Yes with a failing save stops the asking command.
  holder = CreateFileA(path("doc.cdm").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, 0, nullptr);
  user_.box_answers = {IDYES};
  command(ID_FILE_NEW);
  CloseHandle(holder);
  EXPECT_EQ("new", source());
  EXPECT_TRUE(app.modified);
  EXPECT_EQ("Error writing " + path("doc.cdm") + ".", output());
}

TEST_F(DocumentTest, TheRealSaveAsDialogAddsTheDefaultExtension) {
  user_.use_system_file_dialogs();
  start();
  type_into_source("STOP\n");
  DialogAnswerer person(EnterFileName{path("typed")});
  command(ID_FILE_SAVE_AS);
  ASSERT_TRUE(person.result().appeared);
  EXPECT_EQ(platform_text("STOP\n"), documents_.read("typed.cdm"));
  EXPECT_EQ(path("typed.cdm"), app.fileName);
  EXPECT_EQ("Wrote " + path("typed.cdm") + ".", output());
}

}  // namespace
