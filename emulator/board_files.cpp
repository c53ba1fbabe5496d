// The board emulator, a layer above the board's facts (board/) and the
// simulator: the board library's operations (morvapi_emulator.cpp) acting on
// boards whose settings (internal/emulator_config.*), memory
// (internal/program_save.*), run state, call journal and traces
// (internal/board_trace.*) are files of its state folder
// (internal/state_folder.*). Only this unit is for other programs: it tells
// those that read a board's files (cdmsim --board) where they are.
#include "board_files.h"

#include "state_folder.h"

std::filesystem::path board_program_path(int board) { return board_path(emulator_state_folder(), board, ".program"); }
