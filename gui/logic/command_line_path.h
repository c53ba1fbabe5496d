// The source file named on cdmgui's command line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// How much of the command line is looked at, and the longest path kept.
inline constexpr std::size_t kCommandLineExamined = 256;

// The whole command line names one file: every double quote is dropped
// wherever it stands, blanks are kept, and only the first 256 characters
// are examined.
std::string command_line_path(std::string_view command_line);
