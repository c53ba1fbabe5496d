#include "board_files.h"

#include "state_folder.h"

std::filesystem::path board_program_path(int board) { return board_path(emulator_state_folder(), board, ".program"); }

std::string read_board_file(const std::filesystem::path& path) { return read_file_text(path); }
