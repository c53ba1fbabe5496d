// The board library's own operations behind the board seam: the board that
// cdmcli and cdmgui program, the emulator or a maker's library.
#pragma once

#include "board.h"

Board& library_board();
