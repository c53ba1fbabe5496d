// Where the board emulator keeps what a real board would keep: its settings,
// the call journal and each board's memory and run state.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

// MORVAPI_EMULATOR_DIR when set, else the per-user state folder. Created when
// missing (a failure shows later, when a file cannot be written).
std::filesystem::path emulator_state_folder();

// board<N><extension> in `folder`: a board's memory (.program), run state
// (.state) and trace (.vcd).
std::filesystem::path board_path(const std::filesystem::path& folder, int board, const char* extension);

// The whole file as bytes, or its first `limit` bytes; empty when it cannot
// be read.
std::string read_file_text(const std::filesystem::path& path, std::size_t limit = SIZE_MAX);

// Writes a file through `write` into a temporary file beside it and renames
// it over the target, so a reader never sees a torn file. Returns false and
// leaves the target untouched when anything fails.
bool write_file_atomically(const std::filesystem::path& target,
                           const std::function<bool(std::FILE*)>& write);

// Appends one line (a line feed is added) to the file.
void append_line(const std::filesystem::path& path, std::string_view line);
