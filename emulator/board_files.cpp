// The board emulator: the board library's operations (morvapi_emulator.cpp)
// acting on boards whose settings, memory, run state, call journal and traces
// are files of its state folder (state_folder.*). This unit gives programs that
// read those files (cdmsim --board) where a board's files are, and their bytes.
#include "board_files.h"

#include "state_folder.h"

std::filesystem::path board_program_path(int board) { return board_path(emulator_state_folder(), board, ".program"); }

std::string read_board_file(const std::filesystem::path& path) { return read_file_text(path); }
