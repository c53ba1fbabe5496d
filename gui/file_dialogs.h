// The Open and Save As dialogs as cdmgui shows them: owned by the main
// window, starting in the working directory, with an empty name.
#pragma once

#include <string>

enum class FileDialogKind { Open, Save };

// `filter` holds pairs of zero-terminated texts, ended by an empty one.
// Returns false when the user cancels or the dialog fails; a name that does
// not fit the 260-character buffer makes the dialog fail, never overflow.
bool choose_file(FileDialogKind kind, const char* filter, const char* default_extension, std::string& chosen);
