// The main window's procedure: routes every message, menu command, button
// and edit notification to its handler; and the three small commands that
// belong nowhere else.
#pragma once

#include <windows.h>

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Sets the "Show &Debug Information" option and its check mark.
void set_debug_information(bool on);
// Flips the option and its check mark.
void toggle_debug_information();

// Opens the help page, installDir + "\Doc\index.html", with the shell.
void show_read_me();

// The About box.
void show_about();
