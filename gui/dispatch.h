// The main window's procedure: routes every message, menu command, button
// and edit notification to its handler; and the small commands that belong
// nowhere else: the debug option, Read Me and About.
#pragma once

#include <windows.h>

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Sets the "Show &Debug Information" option and its check mark.
void set_debug_information(bool on);
