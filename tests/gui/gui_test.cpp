// The real cdmgui window under Wine, driven as a person would. Each test runs
// the real start-up code in this process with fresh folders for the
// installation (named in the registry), the board emulator's state, the
// documents and the temporary files. Message boxes, file dialogs and the
// shell are answered from a script; the real message box is met once,
// answered from a helper thread, the real Save As dialog in the black box and
// the real shell in the setup program's test.
#include <gtest/gtest.h>
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <optional>
#include <sstream>
#include <thread>
#include <tuple>
#include <vector>

#include "app_state.h"
#include "control_layout.h"
#include "diagram_model.h"
#include "resource_ids.h"
#include "run_program.h"
#include "startup.h"
#include "timing_view.h"
#include "test_folder.h"
#include "user_dialogs.h"
#include "window_text.h"

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;
constexpr char kInstallKey[] = "SOFTWARE\\Morvane\\Cadmora Interpreter";
constexpr char kTitle[] = "Morvane Cadmora Interpreter";
constexpr char kPrompt[] = "Do you want to save the changes made to this file?";
constexpr char kProgram[] = "0x1, 10us\r\n0x0, 10us, STOP\r\n";

std::string windows_path(const fs::path& path) {
  std::string text = path.string();
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

// The file's access rights, as text.
std::string access_rights(const std::string& file) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoA(file.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                            nullptr, &descriptor) != ERROR_SUCCESS)
    return "<unreadable>";
  char* text = nullptr;
  ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text,
                                                       nullptr);
  const std::string rights = text != nullptr ? text : "<none>";
  LocalFree(text);
  LocalFree(descriptor);
  return rights;
}

Lines selection_calls(int board, int firmware_id) {
  const std::string n = std::to_string(board);
  return {"cdm_select_board " + n + " -> 0", "cdm_select_board " + n + " -> 0", "cdm_init -> 0",
          "cdm_get_firmware_id -> " + std::to_string(firmware_id), "cdm_close -> 0"};
}

Lines operator+(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A symbolic link in a test folder, made and removed by the file system's
// ln and rm through Wine's own entry point: Wine has no Windows call that
// makes one, its programs follow one to the file it names like a link, and
// deleting one from Windows deletes that file and leaves the link.
class SymbolicLink {
 public:
  SymbolicLink(const TestFolder& folder, const char* name, const char* target)
      : path_(unix_name(folder.path()) + "/" + name) {
    EXPECT_TRUE(run({"ln", "-s", target, path_})) << path_;
  }
  ~SymbolicLink() { run({"rm", path_}); }

 private:
  static std::string unix_name(const fs::path& path) {
    using ToUnix = char*(CDECL*)(const wchar_t*);
    const auto to_unix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    char* name = to_unix != nullptr ? to_unix(path.wstring().c_str()) : nullptr;
    if (name == nullptr) return "";
    const std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
  }
  static bool run(std::vector<std::string> words) {
    using Spawn = LONG(CDECL*)(char* const*, int);
    const auto spawn = reinterpret_cast<Spawn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll"), "__wine_unix_spawnvp")));
    std::vector<char*> arguments;
    for (std::string& word : words) arguments.push_back(word.data());
    arguments.push_back(nullptr);
    return spawn != nullptr && spawn(arguments.data(), TRUE) == 0;
  }

  std::string path_;
};

struct ShownBox {
  std::string text, caption, output_then;  // output_then: the pane while the box was up
};

// Answers the one real dialog this process shows next with `button`, as a
// person would, from a helper thread.
class RealDialogAnswer {
 public:
  explicit RealDialogAnswer(int button) : helper_([this, button] { answer(button); }) {}
  ~RealDialogAnswer() { result(); }
  const ShownBox& result() {
    if (helper_.joinable()) helper_.join();
    return seen_;
  }

 private:
  static BOOL CALLBACK find(HWND window, LPARAM found) {
    char name[8] = {};
    DWORD process = 0;
    GetClassNameA(window, name, sizeof name);
    GetWindowThreadProcessId(window, &process);
    if (std::strcmp(name, "#32770") != 0 || process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  void answer(int button) {
    HWND dialog = nullptr;
    for (int tries = 0; dialog == nullptr && tries < 600; ++tries, Sleep(30))
      EnumWindows(find, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr) return;
    Sleep(100);  // let the dialog finish setting itself up
    seen_.caption = window_text(dialog);
    seen_.text = window_text(GetDlgItem(dialog, 0xFFFF));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
  }

  ShownBox seen_;
  std::thread helper_;
};

class Gui : public ::testing::Test {
 protected:
  void SetUp() override {
    script = this;
    user_dialogs = {scripted_box, scripted_file, scripted_file, system_dialogs().shell_execute};
    start_folder_ = current_folder();
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                             &key, nullptr));
    const std::string folder = windows_path(install_.path());
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>(folder.size() + 1));
    RegCloseKey(key);
  }
  void TearDown() override {
    close_window();
    user_dialogs = system_dialogs();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kInstallKey);
    SetCurrentDirectoryA(start_folder_.c_str());
  }

  // Starts cdmgui with these emulator settings (the call journal is always
  // kept) and command line; the window does not take the focus.
  void start(const std::string& board_settings = "", const std::string& command_line = "") {
    board_.write("emulator.ini", "journal = yes\n" + board_settings);
    ASSERT_TRUE(create_main_window(GetModuleHandleA(nullptr), command_line.c_str(), SW_SHOWNOACTIVATE));
  }
  // Starts, then forgets the start-up's calls and boxes.
  void start_quietly(const std::string& board_settings = "") {
    start(board_settings);
    take_journal();
    boxes.clear();
  }
  void close_window() {
    if (app.mainWindow != nullptr) DestroyWindow(app.mainWindow);
    UnregisterClassA(kMainWindowClass, GetModuleHandleA(nullptr));
    for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) {
    }
    app = AppState{};
  }

  // The library calls since the last look.
  Lines take_journal() {
    Lines lines;
    std::istringstream text(board_.read("journal.txt"));
    for (std::string line; std::getline(text, line) && line != "<missing>";)
      lines.push_back(line.substr(0, line.find('\r')));
    fs::remove(board_ / "journal.txt");
    return lines;
  }

  LRESULT command(int id) { return SendMessageA(app.mainWindow, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  void type(std::string_view keys) {  // '\n' is the Enter key
    for (char key : keys) SendMessageA(app.sourcePane, WM_CHAR, key == '\n' ? '\r' : key, 1);
  }
  // Runs the queued messages; true once the program has asked to quit.
  static bool quits() {
    for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); DispatchMessageA(&message))
      if (message.message == WM_QUIT) return true;
    return false;
  }
  static std::string text(HWND window) { return window_text(window); }
  static std::string output() { return window_text(app.outputPane); }
  static std::string source() { return window_text(app.sourcePane); }
  static std::string title() { return window_text(app.mainWindow); }
  static bool debug_checked() {
    HMENU menu = GetSubMenu(GetMenu(app.mainWindow), INTERPRETER_MENU_POSITION);
    return (GetMenuState(menu, ID_SHOW_DEBUG, MF_BYCOMMAND) & MF_CHECKED) != 0;
  }
  static std::string current_folder() {
    char buffer[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, buffer);
    return buffer;
  }
  std::string path(const char* name) const { return windows_path(documents_ / name); }
  // Another program holds the file open and does not let it be replaced.
  HANDLE hold(const std::string& file) const {
    return CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                       nullptr);
  }

  // The scripted person: answers in order, else Cancel (OK for an OK box);
  // file names in order, nothing meaning Cancel.
  std::deque<int> box_answers;
  std::deque<std::optional<std::string>> file_choices;
  std::vector<ShownBox> boxes;
  int file_dialogs = 0;

  TestFolder install_, board_, documents_, temporary_;
  const ScopedEnvironment board_folder_{"MORVAPI_EMULATOR_DIR", windows_path(board_.path())},
      tmp_{"TMP", windows_path(temporary_.path())}, temp_{"TEMP", windows_path(temporary_.path())};

 private:
  static int scripted_box(HWND, const char* message, const char* caption, UINT style) {
    script->boxes.push_back({message, caption, output()});
    if (script->box_answers.empty()) return (style & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
    const int answer = script->box_answers.front();
    script->box_answers.pop_front();
    return answer;
  }
  static BOOL scripted_file(OPENFILENAMEA* request) {
    ++script->file_dialogs;
    std::optional<std::string> name;
    if (!script->file_choices.empty()) {
      name = script->file_choices.front();
      script->file_choices.pop_front();
    }
    if (!name || name->size() >= request->nMaxFile) return FALSE;
    std::strcpy(request->lpstrFile, name->c_str());
    return TRUE;
  }

  static Gui* script;
  std::string start_folder_;
};
Gui* Gui::script = nullptr;

TEST_F(Gui, StartUpOpensTheNamedFileWhereItIsProbesTheBoardAndExitWritesTheSettings) {
  fs::create_directories(documents_ / "My Programs");
  documents_.write("My Programs/test.cdm", "0x1, 10us\n0x0, 10us\n");
  const std::string file = path("My Programs/test.cdm");
  SetCurrentDirectoryA(windows_path(documents_.path()).c_str());
  start("version = 4.2 test\nfirmware_id = 0x0102\n", "\"My Programs\\test.cdm\"");
  EXPECT_EQ(file, app.fileName);
  EXPECT_EQ("test.cdm - " + std::string(kTitle), title());
  EXPECT_EQ("0x1, 10us\r\n0x0, 10us\r\n", source());
  EXPECT_FALSE(app.modified);
  EXPECT_EQ("Cadmora board found.\r\nUsing MorvAPI version 4.2 test.", output());
  EXPECT_EQ("100.0", text(app.frequencyBox));
  EXPECT_EQ("0", text(app.boardBox));
  EXPECT_FALSE(debug_checked());
  EXPECT_EQ(windows_path(install_.path()), current_folder());
  EXPECT_EQ((selection_calls(0, 0x0102) +
             Lines{"cdm_init -> 0", "cdm_get_version", "cdm_set_debug 1 -> 0", "cdm_close -> 0"}),
            take_journal());
  command(ID_FILE_SAVE);  // where it was opened, not in the installation folder
  EXPECT_EQ("Wrote " + file + ".", output());

  PostMessageA(app.mainWindow, WM_CLOSE, 0, 0);
  EXPECT_EQ(0, run_message_loop());
  stop_board_at_exit();
  EXPECT_EQ("100.0\r\nfalse", install_.read("interpreter.cfg"));
  EXPECT_EQ((Lines{"cdm_init -> 0", "cdm_stop -> 0", "cdm_close -> 0"}), take_journal());
  EXPECT_EQ(0u, board_.read("board0.state").find("stopped"));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(Gui, WithoutTheRegistryKeyTheStartFolderHoldsSettingsAndFiles) {
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, kInstallKey);
  documents_.write("interpreter.cfg", "12.5\r\ntrue, and then some");
  documents_.write("relative.cdm", "STOP\n");
  SetCurrentDirectoryA(windows_path(documents_.path()).c_str());
  start("", "relative.cdm");
  EXPECT_EQ(path("relative.cdm"), app.fileName);
  EXPECT_EQ("STOP\r\n", source());
  EXPECT_EQ("12.5", text(app.frequencyBox));
  EXPECT_TRUE(debug_checked());
  command(ID_SHOW_DEBUG);
  EXPECT_FALSE(debug_checked());
  SetWindowTextA(app.frequencyBox, std::string(300, '7').c_str());
  fs::create_directories(documents_ / "elsewhere");
  SetCurrentDirectoryA(path("elsewhere").c_str());  // as a file dialog may leave it
  command(ID_FILE_EXIT);
  EXPECT_TRUE(quits());
  EXPECT_EQ(std::string(255, '7') + "\r\nfalse", documents_.read("interpreter.cfg"));
  EXPECT_FALSE(documents_.exists("elsewhere/interpreter.cfg"));
}

// A path too long for the command line is refused rather than cut into
// another file's name, in the real message box.
TEST_F(Gui, ACommandLinePathTooLongIsRefusedInARealMessageBox) {
  const std::string folder = windows_path(documents_.path()) + "\\";
  const std::string existing = std::string(256 - folder.size(), 'n');  // the first 256 characters
  documents_.write(existing, "STOP\n");
  user_dialogs.message_box = system_dialogs().message_box;
  RealDialogAnswer person(IDOK);
  start("", folder + existing + ".cdm");
  EXPECT_EQ("Error", person.result().caption);
  EXPECT_EQ("Unable to open " + folder + existing + "....", person.result().text);
  EXPECT_EQ("", source());
  EXPECT_EQ("", app.fileName);
  EXPECT_EQ(kTitle, title());
}

TEST_F(Gui, TheBoardNumberBoxSelectsOnEveryChange) {
  start_quietly("boards = 0 1 7 12\nunopenable = 12\nfirmware_id = 0x020A\n");
  struct Case {
    const char* text;
    std::string output, accepted;
    Lines calls;
  } const cases[] = {
      {"5", "Board number not found \n\n", "0", {"cdm_select_board 5 -> -1"}},
      {"1a", "Board number not found \n\n", "0", {}},
      {"", "unchanged", "0", {}},
      {"12", "Board number changed to 12\r\nError initializing board", "12",
       {"cdm_select_board 12 -> 0", "cdm_select_board 12 -> 0", "cdm_init -> 2"}},
      {"007", "Board number changed to 7\r\nFirmware ID: 2-10", "7", selection_calls(7, 0x020A)},
  };
  for (const Case& c : cases) {
    set_output_text("unchanged");
    SetWindowTextA(app.boardBox, c.text);
    EXPECT_EQ(c.output, output()) << c.text;
    EXPECT_EQ(c.accepted, app.boardNumberText) << c.text;
    EXPECT_EQ(c.calls, take_journal()) << c.text;
  }
  EXPECT_TRUE(boxes.empty());
}

TEST_F(Gui, AFailedLoadRaisesItsBoxBeforeTheReport) {
  struct Case {
    const char *settings, *source, *report_part;
    bool reaches_board;
  } const cases[] = {
      {"", "0x1 10us\r\n", "Expecting comma after 0X110US on line 1 starting at column 1.\r\n", false},
      {"fail_write_at = 1\nerror_text = memory fault\n", kProgram, "memory fault", true},
  };
  for (const Case& c : cases) {
    start_quietly(c.settings);
    SetWindowTextA(app.sourcePane, c.source);
    command(IDC_LOAD_BUTTON);
    ASSERT_EQ(1u, boxes.size()) << c.source;
    EXPECT_EQ("Failed to program board.", boxes[0].text);
    EXPECT_EQ("Error", boxes[0].caption);
    EXPECT_EQ(0u, boxes[0].output_then.find("Board number changed to 0\r\n")) << c.source;
    EXPECT_NE(std::string::npos, output().find(c.report_part)) << output();
    EXPECT_EQ(std::string::npos, output().find("Board number changed")) << c.source;
    const Lines calls = take_journal();
    EXPECT_EQ(c.reaches_board ? 2 : 1, std::count(calls.begin(), calls.end(), "cdm_init -> 0")) << c.source;
    EXPECT_TRUE(fs::is_empty(temporary_.path())) << c.source;
    close_window();
  }
}

TEST_F(Gui, LoadStartStopAndAnUnusableBoardNumber) {
  start_quietly("boards = 0 7\nfirmware_id = 0x0105\n");
  SetWindowTextA(app.sourcePane, kProgram);
  SetWindowTextA(app.frequencyBox, "50");
  command(ID_BOARD_LOAD);
  EXPECT_EQ("Using Clock Frequency of 50 MHz.\r\n\r\n\r\n2 instructions interpreted.\r\n"
            "Board 0 programmed successfully.\r\n",
            output());
  EXPECT_EQ((selection_calls(0, 0x0105) +
             Lines{"cdm_init -> 0", "cdm_core_clock 50 -> 0", "cdm_start_programming 0 -> 0",
                   "cdm_inst_cdmonly 1 0 0 10000 -> 0", "cdm_inst_cdmonly 0 1 0 10000 -> 1",
                   "cdm_stop_programming -> 0", "cdm_close -> 0"}),
            take_journal());
  EXPECT_EQ("50\n1 0 0 10000\n0 1 0 10000\n", board_.read("board0.program"));
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(fs::is_empty(temporary_.path())) << "Load leaves no temporary file";
  for (const auto& [id, call, state] : {std::tuple{ID_BOARD_START, "cdm_start -> 0", "running"},
                                        std::tuple{IDC_STOP_BUTTON, "cdm_stop -> 0", "stopped"}}) {
    EXPECT_EQ(0, command(id));
    EXPECT_EQ((selection_calls(0, 0x0105) + Lines{"cdm_init -> 0", call, "cdm_close -> 0"}), take_journal());
    EXPECT_EQ(0u, board_.read("board0.state").find(state)) << id;
    EXPECT_EQ("Board number changed to 0\r\nFirmware ID: 1-5", output());
  }
  // The box goes back to the last accepted number, which selects that board
  // again before the message.
  const std::pair<int, const char*> refused[] = {{IDC_LOAD_BUTTON, "Failed to program board."},
                                                 {IDC_START_BUTTON, "Failed to start board."},
                                                 {ID_BOARD_STOP, "Failed to stop board."}};
  SetWindowTextA(app.boardBox, "7");
  for (const auto& [id, message] : refused) {
    SetWindowTextA(app.boardBox, "x7");
    take_journal();
    boxes.clear();
    command(id);
    ASSERT_EQ(1u, boxes.size()) << id;
    EXPECT_EQ(message, boxes[0].text);
    EXPECT_EQ("7", text(app.boardBox));
    EXPECT_EQ("Board number changed to 7\r\nFirmware ID: 1-5", boxes[0].output_then);
    EXPECT_EQ(selection_calls(7, 0x0105), take_journal());
  }
  // An empty box is refilled and its number used.
  SetWindowTextA(app.boardBox, "");
  command(ID_BOARD_LOAD);
  EXPECT_EQ("7", text(app.boardBox));
  EXPECT_NE(std::string::npos, output().find("Board 7 programmed successfully.")) << output();
}

TEST_F(Gui, WithoutAUsableTemporaryFolderLoadReportsAndRunsNothing) {
  // A folder deep enough that a file made in it has a name too long to use:
  // the file is made, refused and removed again.
  const std::string deep_name(244 - windows_path(temporary_.path()).size(), 't');
  fs::create_directories(temporary_ / deep_name);
  for (const std::string& folder : {windows_path(temporary_ / "gone"), windows_path(temporary_ / deep_name)}) {
    const ScopedEnvironment tmp("TMP", folder), temp("TEMP", folder);
    start_quietly();
    SetWindowTextA(app.sourcePane, kProgram);
    command(IDC_LOAD_BUTTON);
    EXPECT_EQ(0u, output().find("Error opening " + folder)) << output();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(5u, take_journal().size()) << "only the selection reached the board";
    close_window();
  }
  EXPECT_TRUE(fs::is_empty(temporary_ / deep_name));
}

TEST_F(Gui, TheSaveDiscardCancelPrompt) {
  struct Case {
    int command, answer;
    bool goes_on;
    std::string file_after;
  } const cases[] = {
      {ID_FILE_NEW, IDYES, true, platform_text("new")}, {ID_FILE_NEW, IDNO, true, "old\n"},
      {ID_FILE_NEW, IDCANCEL, false, "old\n"},          {ID_FILE_EXIT, IDYES, true, platform_text("new")},
      {ID_FILE_EXIT, IDNO, true, "old\n"},              {ID_FILE_EXIT, IDCANCEL, false, "old\n"},
  };
  for (const Case& c : cases) {
    install_.write("interpreter.cfg", "77\nfalse");
    documents_.write("doc.cdm", "old\n");
    start("", path("doc.cdm"));
    SetWindowTextA(app.sourcePane, "");
    type("new");
    boxes.clear();
    box_answers = {c.answer};
    command(c.command);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(kPrompt, boxes[0].text);
    EXPECT_EQ("Question", boxes[0].caption);
    EXPECT_EQ(c.file_after, documents_.read("doc.cdm")) << c.command << " " << c.answer;
    EXPECT_EQ(!c.goes_on, app.modified) << c.command << " " << c.answer;
    if (c.command == ID_FILE_EXIT) {
      EXPECT_EQ(c.goes_on, quits());
      EXPECT_EQ(c.goes_on ? "77\r\nfalse" : "77\nfalse", install_.read("interpreter.cfg"));
    } else {
      EXPECT_EQ(c.goes_on ? "" : "new", source());
      EXPECT_EQ(c.goes_on ? kTitle : "doc.cdm - " + std::string(kTitle), title());
    }
    close_window();
  }
}

TEST_F(Gui, OpenKeepsEveryByteAndAFailedOpenChangesNothing) {
  struct Case {
    const char* name;
    std::string bytes, pane;
  } const cases[] = {
      {"lf.cdm", "0x1, 1us\nSTOP\n", "0x1, 1us\r\nSTOP\r\n"},
      {"ctrl-z.cdm", "0x1, 1us\x1a\r\n\xFF\r\n", "0x1, 1us\x1a\r\n\xFF\r\n"},
      {"lone-cr.cdm", "a\rb", "a\rb"},
  };
  start();
  for (const Case& c : cases) {
    documents_.write(c.name, c.bytes);
    file_choices = {path(c.name)};
    command(ID_FILE_OPEN);
    EXPECT_EQ(c.pane, source()) << c.name;
    EXPECT_EQ("Opened " + path(c.name) + ".", output());
    EXPECT_EQ(std::string(c.name) + " - " + kTitle, title());
    EXPECT_FALSE(app.modified) << c.name;
  }
  type("x");
  box_answers = {IDNO};
  file_choices = {std::nullopt};
  command(IDC_OPEN_BUTTON);
  EXPECT_EQ("No file opened.", output());
  EXPECT_FALSE(app.modified);  // the No stands though the command was abandoned
  file_choices = {path("vanished.cdm")};
  command(ID_FILE_OPEN);
  EXPECT_EQ("Error opening " + path("vanished.cdm") + ".", output());
  EXPECT_EQ("xa\rb", source());
  EXPECT_EQ(path("lone-cr.cdm"), app.fileName);
}

TEST_F(Gui, SavingNamesTheDocumentAndAFailedSaveKeepsTheOldFile) {
  start();
  type("0x1, 1us\n\tSTOP");
  file_choices = {path("doc.cdm")};
  command(IDC_SAVE_BUTTON);
  EXPECT_EQ(platform_text("0x1, 1us\n\tSTOP"), documents_.read("doc.cdm"));
  EXPECT_EQ("Wrote " + path("doc.cdm") + ".", output());
  EXPECT_EQ(path("doc.cdm"), app.fileName);
  EXPECT_EQ(kTitle, title());  // the title waits for the next Open or Save As
  file_choices = {path("second.cdm")};
  command(ID_FILE_SAVE_AS);
  EXPECT_EQ("second.cdm - " + std::string(kTitle), title());

  type("\n");
  HANDLE holder = hold(path("second.cdm"));
  command(ID_FILE_SAVE);  // named: no dialog
  EXPECT_EQ("Error writing " + path("second.cdm") + ".", output());
  box_answers = {IDYES};
  command(ID_FILE_NEW);  // Yes with a failing save stops New
  CloseHandle(holder);
  EXPECT_EQ("Error writing " + path("second.cdm") + ".", output());
  EXPECT_TRUE(app.modified);
  EXPECT_EQ(platform_text("0x1, 1us\n\tSTOP"), documents_.read("second.cdm"));

  SetFileAttributesA(path("second.cdm").c_str(), FILE_ATTRIBUTE_READONLY);
  command(IDC_SAVE_BUTTON);
  SetFileAttributesA(path("second.cdm").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ("Error opening " + path("second.cdm") + ".", output());
  EXPECT_EQ(2, file_dialogs);
  EXPECT_EQ(2, std::distance(fs::directory_iterator(documents_.path()), fs::directory_iterator()));
}

TEST_F(Gui, SaveOutputWritesThePaneAndReportsFailures) {
  start_quietly();
  documents_.write("held.txt", "old report");
  set_output_text("first line\r\nsecond line\r\n");
  file_choices = {path("report.txt"), std::nullopt, path("held.txt")};
  command(ID_SAVE_OUTPUT);
  EXPECT_EQ(platform_text("first line\nsecond line\n"), documents_.read("report.txt"));
  EXPECT_EQ("Wrote " + path("report.txt") + ".", output());
  command(ID_SAVE_OUTPUT);
  EXPECT_EQ("File not saved.", output());
  HANDLE holder = hold(path("held.txt"));
  command(ID_SAVE_OUTPUT);
  CloseHandle(holder);
  EXPECT_EQ("Error writing " + path("held.txt") + ".", output());
  EXPECT_EQ("old report", documents_.read("held.txt"));
}

// Without an installation folder the page beside the program is opened.
TEST_F(Gui, ReadMeOpensTheInstalledHelpPage) {
  static std::string opened_page;
  user_dialogs.shell_execute = [](HWND, const char*, const char* file, const char*, const char*, int) {
    opened_page = file;
    return reinterpret_cast<HINSTANCE>(33);
  };
  for (const fs::path& folder : {install_.path(), program_folder()}) {
    start();
    command(ID_HELP_READ_ME);
    EXPECT_EQ(windows_path(folder) + "\\Doc\\index.html", opened_page);
    close_window();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kInstallKey);
  }
}

TEST_F(Gui, LayoutCaretLabelAndAbout) {
  start();
  const HWND controls[kLayoutSlotCount] = {
      app.openButton, app.saveButton,     app.loadButton, app.startButton, app.stopButton,
      app.sourcePane, app.outputPane,     app.frequencyLabel, app.frequencyBox, app.unitLabel,
      app.boardLabel, app.boardBox,       app.positionLabel};
  SetWindowPos(app.mainWindow, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client{};
  GetClientRect(app.mainWindow, &client);
  const ControlLayout layout = compute_layout(client.right, client.bottom);
  for (std::size_t i = 0; i < kLayoutSlotCount; ++i) {
    RECT r{};
    GetWindowRect(controls[i], &r);
    MapWindowPoints(HWND_DESKTOP, app.mainWindow, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_TRUE((layout[i] == ControlPlace{r.left, r.top, r.right - r.left, r.bottom - r.top})) << i;
  }
  type("ab\nc");
  EXPECT_EQ("Line 1, Column 1", text(app.positionLabel));  // typing alone changes nothing
  SendMessageA(app.sourcePane, WM_KEYUP, VK_LEFT, 0xC0000001);
  EXPECT_EQ("Line 2, Column 2", text(app.positionLabel));
  SetWindowTextA(app.sourcePane, "a\nb\r\r\ncd");  // a lone LF and a CR CR LF, as pasted text may hold them
  SendMessageA(app.sourcePane, EM_SETSEL, 9, 9);
  SendMessageA(app.sourcePane, WM_KEYUP, VK_END, 0xC0000001);
  EXPECT_EQ("Line 3, Column 3", text(app.positionLabel));
  SendMessageA(app.sourcePane, EM_SETSEL, 1, 1);
  SendMessageA(app.sourcePane, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ("Line 1, Column 2", text(app.positionLabel));
  box_answers = {IDNO};
  command(ID_FILE_NEW);
  EXPECT_EQ("Line 1, Column 2", text(app.positionLabel));  // replacing the text keeps it
  command(ID_HELP_ABOUT);
  ASSERT_EQ(2u, boxes.size());
  EXPECT_EQ("About", boxes[1].caption);
  EXPECT_EQ(0u, boxes[1].text.find("Cadmora Interpreter - 20240820\r\n")) << boxes[1].text;
}

TEST_F(Gui, SavingWritesInPlaceWhereNothingFitsBesideTheFileAndReusesACutShortSave) {
  // A file whose path is 255 characters: writable, but no other name made
  // from it fits beside it.
  const std::string folder = windows_path(documents_.path()) + "\\";
  const std::string deep = std::string(255 - folder.size() - 6, 'd');
  fs::create_directories(documents_ / deep);
  documents_.write(deep + "/a.cdm", "old\n");
  const std::string target = folder + deep + "\\a.cdm";
  start("", target);
  type("x");
  command(ID_FILE_SAVE);
  EXPECT_EQ("Wrote " + target + ".", output());
  EXPECT_EQ(platform_text("xold\n"), documents_.read(deep + "/a.cdm"));

  documents_.write("doc.cdm", "old\n");
  documents_.write_left_over("doc.cdm.tmp1-0", "half");  // what a crash mid-save leaves
  file_choices = {path("doc.cdm")};
  command(ID_FILE_SAVE_AS);
  EXPECT_EQ(platform_text("xold\n"), documents_.read("doc.cdm"));
  EXPECT_FALSE(documents_.exists("doc.cdm.tmp1-0"));
}

// Save writes the file a linked document names; the link stays.
TEST_F(Gui, SavingALinkedDocumentWritesTheFileItNames) {
  documents_.write("real.cdm", "old\n");
  const SymbolicLink link(documents_, "doc.cdm", "real.cdm");
  start("", path("doc.cdm"));
  type("x");
  command(ID_FILE_SAVE);
  EXPECT_EQ("Wrote " + path("doc.cdm") + ".", output());
  EXPECT_EQ(platform_text("xold\n"), documents_.read("real.cdm"));
  EXPECT_EQ(platform_text("xold\n"), documents_.read("doc.cdm"));
  EXPECT_EQ(2, std::distance(fs::directory_iterator(documents_.path()), fs::directory_iterator()));
}

// The settings file keeps the access rights and attributes it was given
// (the setup program lets ordinary users change it), and links at its
// temporary names, a symbolic one and a hard one to another file, are neither
// written through nor removed. Wine holds the rights as the file's mode,
// where a grant to Everyone shows, and keeps the hidden attribute.
TEST_F(Gui, ExitKeepsTheSettingsFilesRightsAndNeverWritesThroughALinkAtItsSavingName) {
  install_.write("interpreter.cfg", "77\nfalse");
  install_.write("victim.txt", "victim");
  const SymbolicLink link(install_, "interpreter.cfg.tmp1-0", "victim.txt");
  ASSERT_TRUE(CreateHardLinkA(windows_path(install_ / "interpreter.cfg.tmp2-0").c_str(),
                              windows_path(install_ / "victim.txt").c_str(), nullptr));
  const std::string file = windows_path(install_ / "interpreter.cfg");
  PSECURITY_DESCRIPTOR granted = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1301bf;;;WD)",
                                                                   SDDL_REVISION_1, &granted, nullptr));
  ASSERT_TRUE(SetFileSecurityA(file.c_str(), DACL_SECURITY_INFORMATION, granted));
  LocalFree(granted);
  ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_HIDDEN));
  const std::string rights = access_rights(file);
  start();
  command(ID_FILE_EXIT);
  EXPECT_TRUE(quits());
  EXPECT_EQ("77\r\nfalse", install_.read("interpreter.cfg"));
  EXPECT_EQ(rights, access_rights(file));
  EXPECT_EQ(FILE_ATTRIBUTE_HIDDEN, GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_HIDDEN);
  for (const char* name : {"victim.txt", "interpreter.cfg.tmp1-0", "interpreter.cfg.tmp2-0"})
    EXPECT_EQ("victim", install_.read(name)) << name;
}

// ---- The timing view --------------------------------------------------------

// A person at the timing view: F5 in the source pane, the mouse over the
// diagram, the checks list's double-click and Enter, Esc; every message
// through the program's own message dispatch, its F5 shortcut included.
class TimingView : public Gui {
 protected:
  static HWND view() { return app.timingView; }
  static HWND child(int id) { return GetDlgItem(view(), id); }
  static std::string status() { return window_text(child(IDC_TIMING_STATUS)); }
  static Lines checks() {
    Lines items;
    const auto count = static_cast<int>(SendMessageA(child(IDC_TIMING_CHECKS), LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      char item[512] = {};
      SendMessageA(child(IDC_TIMING_CHECKS), LB_GETTEXT, i, reinterpret_cast<LPARAM>(item));
      items.push_back(item);
    }
    return items;
  }
  // Runs the queued messages until `done` holds, for at most ten seconds.
  template <typename Done>
  static bool pump_until(Done done) {
    for (int tries = 0; tries < 1000; ++tries, Sleep(10)) {
      for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) dispatch_message(message);
      if (done()) return true;
    }
    return false;
  }
  static void key(HWND window, UINT key) {
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
  }
  // F5 in the source pane, then the run shown.
  static void press_f5() {
    key(app.sourcePane, VK_F5);
    ASSERT_TRUE(pump_until([] { return view() != nullptr && !timing_view_running(); }));
  }
  static double plot_width() {
    RECT client{};
    GetClientRect(view(), &client);
    return client.right - PlotArea{}.left - 24;
  }
  static void mouse(UINT message, int x, int y, WPARAM keys = 0) {
    SendMessageA(view(), message, keys, MAKELPARAM(x, y));
  }
  static int plot_x(double share) { return static_cast<int>(PlotArea{}.left + share * plot_width()); }
  // The run's last cycle, as the read-out at the plot's right end gives it.
  static std::uint64_t last_cycle() {
    mouse(WM_MOUSEMOVE, plot_x(1), 100);
    return std::stoull(status().substr(std::string("cycle ").size()));
  }
  // The share of the run the scroll bar shows, in ten-thousandths.
  static unsigned shown_share() {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_PAGE;
    GetScrollInfo(child(IDC_TIMING_SCROLL), SB_CTL, &info);
    return info.nPage;
  }
  static void zoom_in() {
    for (int i = 0; i < 3; ++i) SendMessageA(view(), WM_CHAR, '+', 1);
    ASSERT_LT(shown_share(), 10000u);
  }
  static void wait_for_run() {
    ASSERT_TRUE(pump_until([] { return !timing_view_running(); }));
  }
  // A double-click on the checks list's item `index`, as the mouse sends it.
  static void double_click_finding(int index) {
    HWND list = child(IDC_TIMING_CHECKS);
    const auto item_height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    const LPARAM at = MAKELPARAM(10, index * item_height + 2);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
      SendMessageA(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
  }
  static std::string selection() {
    DWORD from = 0, to = 0;
    SendMessageA(app.sourcePane, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    return source().substr(from, to - from);
  }
  static int caret_line() {
    return static_cast<int>(SendMessageA(app.sourcePane, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0)) + 1;
  }
};

TEST_F(TimingView, F5ShowsTheRunWhoseReadOutAtAPixelIsCdmsimsTimelineThereAndNeverTouchesTheBoard) {
  const std::string program = "0x1, 100ns\r\n0x2, 200ns\r\n0x5, 100ns\r\n0x0, 100ns, STOP\r\n";
  documents_.write("known.cdm", program);
  start_quietly();
  SetWindowTextA(app.sourcePane, program.c_str());
  HMENU interpreter = GetSubMenu(GetMenu(app.mainWindow), INTERPRETER_MENU_POSITION);
  char item[64] = {};
  GetMenuStringA(interpreter, 3, item, sizeof item, MF_BYPOSITION);
  EXPECT_EQ("&Timing View\tF5", std::string(item));
  EXPECT_EQ(ID_TIMING_VIEW, static_cast<int>(GetMenuItemID(interpreter, 3)));
  press_f5();
  EXPECT_EQ((Lines{"No warnings."}), checks());

  const ProgramRun cdmsim = run_program("cdmsim", {path("known.cdm")});
  ASSERT_EQ(0, cdmsim.exit_status) << cdmsim.errors;
  struct Row {
    std::uint64_t cycle;
    std::string address, line, outputs;
  };
  std::vector<Row> rows;
  std::istringstream timeline(cdmsim.output);
  std::uint64_t end = 0;
  for (std::string line; std::getline(timeline, line);) {
    if (line.rfind("# end: stop at cycle ", 0) == 0) end = std::stoull(line.substr(21));
    std::istringstream fields(line);
    Row row{};
    std::string time;
    if (fields >> row.cycle >> time >> row.address >> row.line >> row.outputs) rows.push_back(row);
  }
  ASSERT_EQ(4u, rows.size()) << cdmsim.output;
  for (const double share : {0.1, 0.5, 0.7, 0.99}) {
    const int x = static_cast<int>(PlotArea{}.left + share * plot_width());
    mouse(WM_MOUSEMOVE, x, 100);
    const auto cycle = static_cast<std::uint64_t>((x - PlotArea{}.left) / plot_width() * static_cast<double>(end));
    const Row* at = &rows.front();
    for (const Row& row : rows)
      if (row.cycle <= cycle) at = &row;
    std::string outputs = at->outputs;
    std::transform(outputs.begin() + 2, outputs.end(), outputs.begin() + 2, ::toupper);
    EXPECT_EQ(0u, status().find("cycle " + std::to_string(cycle) + " (")) << status();
    EXPECT_NE(std::string::npos,
              status().find(": outputs " + outputs + ", address " + at->address + ", line " + at->line))
        << status() << " at " << share;
  }
  key(view(), VK_HOME);
  key(view(), VK_ESCAPE);
  ASSERT_TRUE(pump_until([] { return view() == nullptr; }));
  EXPECT_TRUE(take_journal().empty());
  EXPECT_EQ(program, source());
  EXPECT_FALSE(app.modified);
}

TEST_F(TimingView, AFindingOrATraceLeadsTheCaretToItsLineAndTheViewReopensWhereItWas) {
  start_quietly();
  SetWindowTextA(app.sourcePane, "0x1, 10ns\r\n0x0, 100ns, STOP\r\n0x3, 1us\r\n");
  press_f5();
  EXPECT_EQ((Lines{"warning: line 1: runs 1 cycle, below the board's shortest instruction of 5 cycles",
                   "warning: never reached: line 3"}),
            checks());
  double_click_finding(1);
  EXPECT_EQ(3, caret_line());
  EXPECT_EQ("Line 3, Column 1", text(app.positionLabel));
  SendMessageA(child(IDC_TIMING_CHECKS), LB_SETCURSEL, 0, 0);
  SendMessageA(child(IDC_TIMING_CHECKS), WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_EQ(1, caret_line());

  // The second instruction, at line 2, runs from cycle 1 to 11 of 11.
  const int x = static_cast<int>(PlotArea{}.left + 0.5 * plot_width());
  mouse(WM_LBUTTONDOWN, x, 50);  // out0's row, below the stop lane
  mouse(WM_LBUTTONUP, x, 50);
  EXPECT_EQ(2, caret_line());

  SetWindowPos(view(), nullptr, 40, 50, 700, 500, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT before{};
  GetWindowRect(view(), &before);
  SendMessageA(view(), WM_CLOSE, 0, 0);
  EXPECT_EQ(nullptr, view());
  command(ID_TIMING_VIEW);
  ASSERT_NE(nullptr, view());
  RECT after{};
  GetWindowRect(view(), &after);
  EXPECT_TRUE(EqualRect(&before, &after));
}

// A double-click on a finding selects its word in the source pane: the
// time a warning is about, the word an error names.
TEST_F(TimingView, ADoubleClickSelectsTheOffendingWord) {
  start_quietly();
  SetWindowTextA(app.sourcePane, "0x1,\t10ns\r\n0x0, 100ns, STOP\r\n");
  press_f5();
  double_click_finding(0);
  EXPECT_EQ("10ns", selection());
  // Every error is listed, the one Load reports first.
  SetWindowTextA(app.sourcePane, "0x1, 10ns\r\n0x0, 50xs\r\n0x2, 10ns, JRS\r\n");
  press_f5();
  ASSERT_TRUE(pump_until([] { return !timing_view_running() && checks().front().rfind("error", 0) == 0; }));
  EXPECT_EQ((Lines{"error: Time unit on line 2 is invalid. XS", "error: Command on line 3 is invalid. JRS"}), checks());
  double_click_finding(0);
  EXPECT_EQ("xs", selection());
  double_click_finding(1);
  EXPECT_EQ("JRS", selection());
}

TEST_F(TimingView, TheViewFollowsTypingAndShowsTheFirstErrorOfAProgramThatDoesNotCompile) {
  start_quietly();
  type("0x1, 100ns, STOP\n");
  press_f5();
  EXPECT_NE(std::string::npos, window_text(view()).find("Timing View"));
  type("0x0, 50xs\n");
  ASSERT_TRUE(pump_until([] { return !timing_view_running() && checks().front().rfind("error", 0) == 0; }));
  double_click_finding(0);
  EXPECT_EQ(2, caret_line());
  EXPECT_EQ((Lines{"error: Time unit on line 2 is invalid. XS"}), checks());
  EXPECT_EQ("error: Time unit on line 2 is invalid. XS", status());
  command(ID_BOARD_LOAD);  // the same words as Load's
  EXPECT_NE(std::string::npos, output().find("\r\nTime unit on line 2 is invalid.\r\n\tXS\r\n")) << output();
  SendMessageA(app.sourcePane, EM_SETSEL, 25, 26);
  type("n");
  ASSERT_TRUE(pump_until([] { return !timing_view_running() && checks().front().rfind("warning", 0) == 0; }));
  EXPECT_EQ((Lines{"warning: never reached: line 2"}), checks()) << source();
}

// Another document, or another clock, is run at once and shown whole, with
// nothing of the last one's findings; F5 keeps the zoom while the run is as
// long as it was.
TEST_F(TimingView, OpenNewAndTheClockRunTheViewAgainWholeAndF5KeepsTheZoomOfARunAsLong) {
  documents_.write("good.cdm", "0x1, 1us\n0x0, 1us, STOP\n");
  start_quietly();
  SetWindowTextA(app.sourcePane, "0x1, 10us\r\n0x0, 50xs\r\n");
  press_f5();
  EXPECT_EQ((Lines{"error: Time unit on line 2 is invalid. XS"}), checks());
  file_choices.push_back(path("good.cdm"));
  command(ID_FILE_OPEN);
  EXPECT_EQ("Running...", status());
  wait_for_run();
  EXPECT_EQ((Lines{"No warnings."}), checks());
  EXPECT_EQ(199u, last_cycle());

  zoom_in();
  press_f5();
  EXPECT_LT(shown_share(), 10000u) << "the same run";
  SetWindowTextA(app.sourcePane, "0x1, 1us\r\n0x0, 3us, STOP\r\n");
  press_f5();
  EXPECT_EQ(10000u, shown_share()) << "a longer run";
  EXPECT_EQ(399u, last_cycle());

  zoom_in();
  SetWindowTextA(app.frequencyBox, "50");
  wait_for_run();
  EXPECT_EQ(10000u, shown_share());
  EXPECT_EQ(199u, last_cycle()) << "4us at 50 MHz";

  command(ID_FILE_NEW);
  wait_for_run();
  EXPECT_EQ("", source());
  EXPECT_NE((Lines{"No warnings."}), checks());
}

TEST_F(TimingView, TheHorizonAndWaitBoxesChangeTheRunAndAreKeptForTheSession) {
  start_quietly();
  SetWindowTextA(app.sourcePane, "0x1, 1us, WAIT\r\n0x0, 1us, STOP\r\n");
  press_f5();
  EXPECT_EQ("1s", text(child(IDC_HORIZON_BOX)));
  EXPECT_EQ("0ns", text(child(IDC_WAIT_BOX)));
  EXPECT_EQ(199u, last_cycle());
  SetWindowTextA(child(IDC_WAIT_BOX), "5us");
  ASSERT_TRUE(pump_until([] { return last_cycle() == 699; })) << status();
  SetWindowTextA(child(IDC_HORIZON_BOX), "1.5us");
  ASSERT_TRUE(pump_until([] { return last_cycle() == 149; })) << status();
  EXPECT_EQ("warning: not reached within 1.5us: line 2", checks().back());

  SetWindowTextA(child(IDC_HORIZON_BOX), "2");
  EXPECT_EQ("Horizon: '2' needs a unit: s, ms, us or ns; still 1.5us.", status());
  SetWindowTextA(child(IDC_WAIT_BOX), "5 us");
  EXPECT_EQ("WAIT: '5 us' is not a time such as 10us, 2.5ms or 1s; still 5us.", status());
  wait_for_run();
  EXPECT_EQ(149u, last_cycle());

  SendMessageA(view(), WM_CLOSE, 0, 0);
  command(ID_TIMING_VIEW);
  wait_for_run();
  EXPECT_EQ("1.5us", text(child(IDC_HORIZON_BOX)));
  EXPECT_EQ("5us", text(child(IDC_WAIT_BOX)));
  EXPECT_EQ(149u, last_cycle());
}

// laser (output 0) rises at cycles 0 and 350 and falls at 100 and 450;
// camera (output 1) rises at 350 and falls at 450.
TEST_F(TimingView, TwoCursorsMeasureBetweenTheEdgesTheArrowKeysFind) {
  start_quietly();
  SetWindowTextA(app.sourcePane,
                 "/ outputs: 0=laser, 1=camera\r\n0x1, 1us\r\n0x0, 2.5us\r\n0x3, 1us\r\n0x0, 1us, STOP\r\n");
  press_f5();
  const int laser = 60;  // below the title and the stop lane
  // Sent, not posted: the mouse leaving, which Wine reports since the real
  // pointer is elsewhere, is not handled before the key.
  const auto press = [](UINT key) { SendMessageA(view(), WM_KEYDOWN, key, 1); };
  mouse(WM_MOUSEMOVE, plot_x(0.1), laser);
  mouse(WM_LBUTTONDOWN, plot_x(0.1), laser);
  mouse(WM_LBUTTONUP, plot_x(0.1), laser);
  EXPECT_EQ("0x1, 1us", selection()) << "the trace's whole line";
  press(VK_RIGHT);
  EXPECT_EQ("A at 1us", status());
  mouse(WM_LBUTTONDOWN, plot_x(0.6), laser, MK_SHIFT);
  mouse(WM_LBUTTONUP, plot_x(0.6), laser, MK_SHIFT);
  press(VK_RIGHT);
  EXPECT_EQ("A at 1us, B at 3.5us: 2.5us apart (250 cycles)", status());
  press(VK_RIGHT);
  EXPECT_EQ("A at 1us, B at 4.5us: 3.5us apart (350 cycles)", status());
  press(VK_RIGHT);
  EXPECT_EQ("No later change of laser.", status());
  mouse(WM_MOUSEMOVE, plot_x(0.1), laser + 64);  // camera's row
  press(VK_LEFT);
  EXPECT_EQ("A at 1us, B at 3.5us: 2.5us apart (250 cycles)", status());
  press(VK_LEFT);
  EXPECT_EQ("No earlier change of camera.", status());
}

TEST_F(TimingView, SaveAsSvgWritesTheBytesCdmsimWritesAndCopyPutsAPicture) {
  documents_.write("wave.cdm", "/ outputs: 0=laser, 1=camera\n0x1, 1us, WAIT\n0x2, 500ns\n0x0, 1us, STOP\n");
  start_quietly();
  file_choices.push_back(path("wave.cdm"));
  command(ID_FILE_OPEN);
  press_f5();
  SetWindowTextA(child(IDC_HORIZON_BOX), "2us");
  SetWindowTextA(child(IDC_WAIT_BOX), "300ns");
  ASSERT_TRUE(pump_until([] { return last_cycle() == 199; })) << status();
  file_choices.push_back(path("view.svg"));
  SendMessageA(view(), WM_COMMAND, ID_DIAGRAM_SAVE_SVG, 0);
  EXPECT_EQ("Wrote " + path("view.svg") + ".", status());
  const ProgramRun cdmsim =
      run_program("cdmsim", {"--until", "2us", "--wait", "300ns", "--svg", path("cdmsim.svg"), path("wave.cdm")});
  ASSERT_EQ(0, cdmsim.exit_status) << cdmsim.errors;
  EXPECT_EQ(documents_.read("cdmsim.svg"), documents_.read("view.svg"));
  EXPECT_NE(std::string::npos, documents_.read("view.svg").find(">camera</text>"));

  // Zoomed in to the run's end: cdmsim's --from gives the same window.
  zoom_in();
  for (int i = 0; i < 5; ++i) SendMessageA(view(), WM_HSCROLL, SB_PAGERIGHT, 0);
  mouse(WM_MOUSEMOVE, plot_x(0), 100);
  const std::uint64_t from = std::stoull(status().substr(std::string("cycle ").size()));
  ASSERT_GT(from, 0u);
  file_choices.push_back(path("end.svg"));
  SendMessageA(view(), WM_COMMAND, ID_DIAGRAM_SAVE_SVG, 0);
  const ProgramRun from_run = run_program("cdmsim", {"--until", "2us", "--wait", "300ns", "--from",
                                                     std::to_string(from * 10) + "ns", "--svg", path("from.svg"),
                                                     path("wave.cdm")});
  ASSERT_EQ(0, from_run.exit_status) << from_run.errors;
  EXPECT_EQ(documents_.read("from.svg"), documents_.read("end.svg")) << "from cycle " << from;

  SendMessageA(view(), WM_COMMAND, ID_DIAGRAM_SAVE_SVG, 0);  // the dialog cancelled
  EXPECT_EQ("Diagram not saved.", status());
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  SendMessageA(view(), WM_COMMAND, ID_DIAGRAM_COPY, 0);
  EXPECT_EQ("Copied the diagram as a picture.", status());
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
}

}  // namespace
