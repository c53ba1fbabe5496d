// Board selection: the board number box names the board the library
// addresses from then on.
#pragma once

// Selects the board the box names and reports it with its firmware
// identifier in the output pane. False when the box holds something no
// board can be selected by; true otherwise, also for an empty box (nothing
// happens) and for a board that was selected but does not open.
bool apply_board_number();
