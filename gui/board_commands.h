// The board commands: selecting the board the board number box names, Load,
// Start and Stop; and the output pane's Save Output and Clear Output.
#pragma once

// Selects the board the box names and reports it with its firmware
// identifier in the output pane. False when the box holds something no
// board can be selected by; true otherwise, also for an empty box (nothing
// happens) and for a board that was selected but does not open.
bool apply_board_number();

// Load Board: selects the board the box names, writes the source pane to a
// temporary file, runs the interpreter on it and shows its report.
void load_command();

// The clock the frequency box names, read as Load reads it.
double frequency_box_clock();

// Start and Stop. False only when no board could be opened.
bool start_board();
bool stop_board();

// Saves the output pane's text to a file the user picks.
void save_output();

void clear_output();
