// The modal dialogs and the shell call cdmgui makes. They go through this
// table so that tests can answer them without a person; the program itself
// always uses the system's own.
#pragma once

#include <windows.h>
#include <commdlg.h>

struct UserDialogs {
  int (*message_box)(HWND owner, const char* text, const char* caption, UINT style);
  BOOL (*get_open_file_name)(OPENFILENAMEA* request);
  BOOL (*get_save_file_name)(OPENFILENAMEA* request);
  HINSTANCE (*shell_execute)(HWND owner, const char* verb, const char* file, const char* parameters,
                             const char* folder, int show);
};

// The system's message box, file dialogs and shell.
UserDialogs system_dialogs();

extern UserDialogs user_dialogs;
