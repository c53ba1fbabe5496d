#include "user_dialogs.h"

#include <shellapi.h>

UserDialogs system_dialogs() { return {MessageBoxA, GetOpenFileNameA, GetSaveFileNameA, ShellExecuteA}; }

UserDialogs user_dialogs = system_dialogs();
