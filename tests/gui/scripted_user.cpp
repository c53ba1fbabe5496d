#include "scripted_user.h"

#include <cstring>

#include "app_state.h"
#include "user_dialogs.h"
#include "window_text.h"

namespace {

ScriptedUser* current = nullptr;

std::string text_or_empty(const char* text) { return text ? text : ""; }

int scripted_message_box(HWND owner, const char* text, const char* caption, UINT style) {
  current->boxes.push_back(
      {owner, text_or_empty(text), text_or_empty(caption), window_text(app.outputPane)});
  if (!current->box_answers.empty()) {
    const int answer = current->box_answers.front();
    current->box_answers.pop_front();
    return answer;
  }
  return (style & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
}

BOOL scripted_file_dialog(bool open, OPENFILENAMEA* request) {
  current->file_dialogs.push_back({open});
  if (current->file_choices.empty() || !current->file_choices.front()) {
    if (!current->file_choices.empty()) current->file_choices.pop_front();
    return FALSE;
  }
  const std::string name = *current->file_choices.front();
  current->file_choices.pop_front();
  // As the system does: a name that does not fit the buffer is refused.
  if (name.size() + 1 > request->nMaxFile) return FALSE;
  std::memcpy(request->lpstrFile, name.c_str(), name.size() + 1);
  return TRUE;
}

BOOL scripted_open(OPENFILENAMEA* request) { return scripted_file_dialog(true, request); }
BOOL scripted_save(OPENFILENAMEA* request) { return scripted_file_dialog(false, request); }

HINSTANCE scripted_shell(HWND, const char* verb, const char* file, const char*, const char*, int) {
  current->shell_calls.push_back({text_or_empty(verb), text_or_empty(file)});
  return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

}  // namespace

ScriptedUser::ScriptedUser() {
  current = this;
  user_dialogs = {scripted_message_box, scripted_open, scripted_save, scripted_shell};
}

ScriptedUser::~ScriptedUser() {
  user_dialogs = system_dialogs();
  current = nullptr;
}

void ScriptedUser::use_system_message_box() { user_dialogs.message_box = system_dialogs().message_box; }

void ScriptedUser::use_system_file_dialogs() {
  user_dialogs.get_open_file_name = system_dialogs().get_open_file_name;
  user_dialogs.get_save_file_name = system_dialogs().get_save_file_name;
}

void ScriptedUser::use_system_shell() { user_dialogs.shell_execute = system_dialogs().shell_execute; }
