// The source file named on cdmgui's command line.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The longest path the command line may name.
inline constexpr std::size_t kLongestCommandLinePath = 256;

// The whole command line names one file: every double quote is dropped
// wherever it stands and blanks are kept. Nothing when the path is longer
// than 256 characters: cut short, it could name some other file.
std::optional<std::string> command_line_path(std::string_view command_line);

// The command line as an error message names it: quotes dropped, at most 256
// characters, and "..." when it was cut.
std::string command_line_shown(std::string_view command_line);
