// The board commands Load, Start and Stop, and the output pane's Save
// Output and Clear Output.
#pragma once

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
