#include "documents.h"

#include <fstream>
#include <sstream>
#include <string>

#include "app_state.h"
#include "line_ends.h"
#include "safe_file_write.h"
#include "timing_view.h"
#include "user_dialogs.h"
#include "window_text.h"
#include "window_title.h"

namespace {

constexpr char kSourceFilter[] = "Cadmora Files (*.cdm)\0*.cdm\0All Files (*.*)\0*.*\0";

bool write_source_to(const std::string& path) {
  if (!write_pane_to(app.sourcePane, path)) return false;
  app.modified = false;
  return true;
}

}  // namespace

bool write_pane_to(HWND pane, const std::string& path) {
  const WriteOutcome outcome = write_text_file(path, without_carriage_returns(window_text(pane)));
  if (outcome != WriteOutcome::Written) {
    set_output_text(write_failure_report(outcome, path));
    return false;
  }
  set_output_text("Wrote " + path + ".");
  return true;
}

bool confirm_discard_changes() {
  if (!app.modified) return true;
  const int answer = user_dialogs.message_box(app.mainWindow, "Do you want to save the changes made to this file?",
                                              "Question", MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON1);
  // A save that succeeds has cleared the flag itself.
  if (answer == IDYES) return save_document();
  if (answer != IDNO) return false;
  app.modified = false;
  return true;
}

void new_document() {
  if (!confirm_discard_changes()) return;
  SetWindowTextA(app.sourcePane, "");
  set_output_text("");
  app.fileName.clear();
  update_title();
  timing_view_document_changed();
}

void open_document() {
  if (!confirm_discard_changes()) return;
  std::string path;
  if (!choose_file(FileDialogKind::Open, kSourceFilter, "cdm", path)) return set_output_text("No file opened.");
  if (!load_source_file(path)) return set_output_text("Error opening " + path + ".");
  app.fileName = path;
  set_output_text("Opened " + path + ".");
  timing_view_document_changed();
}

bool save_document() {
  if (app.fileName.empty()) return save_document_as();
  return write_source_to(app.fileName);
}

bool save_document_as() {
  std::string path;
  if (!choose_file(FileDialogKind::Save, kSourceFilter, "cdm", path)) {
    set_output_text("File not saved.");
    return false;
  }
  if (!write_source_to(path)) return false;
  app.fileName = path;
  return true;
}

bool load_source_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::ostringstream bytes;
  bytes << file.rdbuf();
  SetWindowTextA(app.sourcePane, pane_text_from_file(bytes.str()).c_str());
  return true;
}

void update_title() { SetWindowTextA(app.mainWindow, window_title(app.fileName).c_str()); }
