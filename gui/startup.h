// Start-up of cdmgui: the window class, menus, main window and controls, the
// installation folder, a file named on the command line, the settings and
// the board probe; then the message loop and the board's stop at the end.
#pragma once

#include <windows.h>

inline constexpr char kMainWindowClass[] = "MyWindowClass";

// Everything before the message loop. Returns false, after telling the user,
// when the window class or the main window cannot be made.
bool create_main_window(HINSTANCE instance, const char* command_line, int show_command);

// Translates the program's one shortcut, F5, into the Timing View command,
// and dispatches every other message.
void dispatch_message(MSG& message);

// Runs until the quit message; returns its exit code.
int run_message_loop();

// A board left running is stopped when the program ends.
void stop_board_at_exit();

// The whole program: start-up, message loop, stop.
int run_cdmgui(HINSTANCE instance, const char* command_line, int show_command);
