#include "board_commands.h"

#include <windows.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "app_state.h"
#include "board_number.h"
#include "documents.h"
#include "interpreter.h"
#include "library_board.h"
#include "line_ends.h"
#include "safe_file_write.h"
#include "user_dialogs.h"
#include "window_text.h"

namespace {

// The longest temporary file path the program uses.
constexpr std::size_t kLongestTemporaryPath = 255;
// GetTempFileNameA needs room for its own 14 characters after the folder.
constexpr std::size_t kLongestTemporaryFolder = MAX_PATH - 14;
constexpr char kOutputFilter[] = "Text Files (*.txt)\0*.txt\0All Files (*.*)\0*.*\0";

void show_error(const char* text) { user_dialogs.message_box(app.mainWindow, text, "Error", MB_OK | MB_ICONERROR); }

// Puts the last accepted number back; the box's change notification selects
// that board again before this returns.
void restore_board_box() { SetWindowTextA(app.boardBox, app.boardNumberText.c_str()); }

// The system's temporary folder, ending in a backslash; "" (the working
// directory) when it has none.
std::string temporary_folder() {
  char folder[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(sizeof folder, folder);
  if (length == 0 || length >= sizeof folder) return std::string();
  return std::string(folder, length);
}

// A new, empty file in the temporary folder whose name the system guarantees
// to be unique; nothing when none can be made within the path limit. `path`
// names what was tried.
bool create_temporary_file(std::string& path) {
  path = temporary_folder();
  if (path.size() > kLongestTemporaryFolder) return false;
  char name[MAX_PATH] = {};
  if (GetTempFileNameA(path.empty() ? "." : path.c_str(), "cdm", 0, name) == 0) return false;
  path = name;
  if (path.size() <= kLongestTemporaryPath) return true;
  DeleteFileA(path.c_str());
  return false;
}

// The board number Load tells the interpreter. An empty box gets the last
// accepted number back, and that number is the one used.
int board_number_for_load() {
  std::string text = window_text_prefix(app.boardBox, kBoxTextLength);
  if (text.empty()) {
    restore_board_box();
    text = app.boardNumberText;
  }
  return board_number_from_text(text).value_or(0);
}

// Selects the board the box names. When the box names none, the last
// accepted number goes back into it and `failure` is shown.
bool select_box_board(const char* failure) {
  if (apply_board_number()) return true;
  restore_board_box();
  show_error(failure);
  return false;
}

bool run_board_command(const char* failure, int (Board::*operation)()) {
  if (!select_box_board(failure)) return true;
  if (with_open_board(library_board(), operation)) return true;
  set_output_text(kCadmoraBoardNotFound);
  return false;
}

// Writes the source pane to a temporary file, runs the interpreter on it
// and shows its report.
void load_program() {
  const std::string source = without_carriage_returns(window_text(app.sourcePane));
  std::string path;
  if (!create_temporary_file(path)) return set_output_text("Error opening " + path + ".");
  // A source cut short would be programmed as if it were whole.
  if (write_text_in_place(path, source) != WriteOutcome::Written) {
    DeleteFileA(path.c_str());
    set_output_text("Error writing " + path + ".");
    return;
  }
  std::ostringstream report;
  InterpreterOptions options;
  options.clock_mhz = frequency_box_clock();
  options.board_number = board_number_for_load();
  options.listing = app.showDebug;
  options.board = &library_board();
  if (!run_interpreter(ProgramSource::from_file(path.c_str()), options, report).programmed)
    show_error("Failed to program board.");
  set_output_text(with_crlf_line_ends(report.str()));
  DeleteFileA(path.c_str());
}

}  // namespace

bool apply_board_number() {
  const std::string text = window_text_prefix(app.boardBox, kBoxTextLength);
  if (text.empty()) return true;
  const std::optional<int> number = board_number_from_text(text);
  Board& board = library_board();
  if (!number || board.select_board(*number) != 0) {
    set_output_text(kBoardNotFound);
    return false;
  }
  app.boardNumberText = std::to_string(*number);
  // Selected a second time once accepted, as the library has always been
  // driven; a replacement library may count on it.
  board.select_board(*number);
  const auto report = [&](Board& open) { set_output_text(board_changed_report(*number, open.firmware_id())); };
  if (!with_open_board(board, report)) set_output_text(board_unopened_report(*number));
  return true;
}

void load_command() {
  if (select_box_board("Failed to program board.")) load_program();
}

double frequency_box_clock() { return std::atof(window_text_prefix(app.frequencyBox, kBoxTextLength).c_str()); }

bool start_board() { return run_board_command("Failed to start board.", &Board::start); }

bool stop_board() { return run_board_command("Failed to stop board.", &Board::stop); }

void save_output() {
  std::string name;
  if (!choose_file(FileDialogKind::Save, kOutputFilter, "txt", name)) return set_output_text("File not saved.");
  write_pane_to(app.outputPane, name);
}

void clear_output() { set_output_text(""); }
