#include "user_dialogs.h"

#include <shellapi.h>

#include "app_state.h"

UserDialogs system_dialogs() { return {MessageBoxA, GetOpenFileNameA, GetSaveFileNameA, ShellExecuteA}; }

UserDialogs user_dialogs = system_dialogs();

bool choose_file(FileDialogKind kind, const char* filter, const char* default_extension, std::string& chosen) {
  char name[MAX_PATH] = {};
  OPENFILENAMEA request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = app.mainWindow;
  request.lpstrFilter = filter;
  request.nFilterIndex = 1;
  request.lpstrFile = name;
  request.nMaxFile = MAX_PATH;
  request.lpstrInitialDir = ".";
  request.lpstrDefExt = default_extension;
  request.Flags = OFN_EXPLORER | OFN_HIDEREADONLY |
                  (kind == FileDialogKind::Open ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT);
  const BOOL picked = kind == FileDialogKind::Open ? user_dialogs.get_open_file_name(&request)
                                                   : user_dialogs.get_save_file_name(&request);
  if (!picked) return false;
  name[MAX_PATH - 1] = '\0';
  chosen = name;
  return true;
}
