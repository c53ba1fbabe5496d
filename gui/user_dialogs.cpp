#include "user_dialogs.h"

#include <shellapi.h>

namespace {

int system_message_box(HWND owner, const char* text, const char* caption, UINT style) {
  return MessageBoxA(owner, text, caption, style);
}

HINSTANCE system_shell_execute(HWND owner, const char* verb, const char* file, const char* parameters,
                               const char* folder, int show) {
  return ShellExecuteA(owner, verb, file, parameters, folder, show);
}

}  // namespace

UserDialogs system_dialogs() {
  return {system_message_box, GetOpenFileNameA, GetSaveFileNameA, system_shell_execute};
}

UserDialogs user_dialogs = system_dialogs();
