// The modal dialogs and the shell call cdmgui makes. They go through this
// table so that tests can answer them without a person; the program itself
// always uses the system's own.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

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

enum class FileDialogKind { Open, Save };

// The Open or Save As dialog as cdmgui shows it: owned by the main window,
// starting in the working directory, with an empty name.
// `filter` holds pairs of zero-terminated texts, ended by an empty one.
// Returns false when the user cancels or the dialog fails; a name that does
// not fit the 260-character buffer makes the dialog fail, never overflow.
bool choose_file(FileDialogKind kind, const char* filter, const char* default_extension, std::string& chosen);
