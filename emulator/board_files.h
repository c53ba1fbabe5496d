// Where an emulated board keeps what it holds, for programs that read it
// (cdmsim --board): the emulator's state folder, named by
// MORVAPI_EMULATOR_DIR or the per-user default.
#pragma once

#include <filesystem>

// board<N>.program, the board's memory as a board file.
std::filesystem::path board_program_path(int board);
