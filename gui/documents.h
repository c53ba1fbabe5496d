// The source document: New, Open, Save, Save As, the unsaved-changes
// prompt, reading and writing source files and the window title.
#pragma once

#include <windows.h>

#include <string>

// Asks about unsaved changes. True: go on with the command; false: stop.
bool confirm_discard_changes();

void new_document();
void open_document();
bool save_document();     // true when the file was written
bool save_document_as();  // true when the file was written

// Reads the file at `path`, in binary mode, into the source pane with CR LF
// breaks. False when it cannot be opened.
bool load_source_file(const std::string& path);

void update_title();

// Writes `pane`'s text to `path` as write_text_file does and reports
// "Wrote <path>." or the failure in the output pane; a failure leaves the
// file on disk as it was. True when written.
bool write_pane_to(HWND pane, const std::string& path);
