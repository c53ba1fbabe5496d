#include "file_dialogs.h"

#include <windows.h>
#include <commdlg.h>

#include "app_state.h"
#include "user_dialogs.h"

namespace {

constexpr DWORD kFileNameSize = 260;

}  // namespace

bool choose_file(FileDialogKind kind, const char* filter, const char* default_extension, std::string& chosen) {
  char name[kFileNameSize] = {};
  OPENFILENAMEA request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = app.mainWindow;
  request.lpstrFilter = filter;
  request.nFilterIndex = 1;
  request.lpstrFile = name;
  request.nMaxFile = kFileNameSize;
  request.lpstrInitialDir = ".";
  request.lpstrDefExt = default_extension;
  request.Flags = OFN_EXPLORER | OFN_HIDEREADONLY |
                  (kind == FileDialogKind::Open ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT);
  const BOOL picked = kind == FileDialogKind::Open ? user_dialogs.get_open_file_name(&request)
                                                   : user_dialogs.get_save_file_name(&request);
  if (!picked) return false;
  name[kFileNameSize - 1] = '\0';
  chosen = name;
  return true;
}
