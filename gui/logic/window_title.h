// The main window's title for the current document.
#pragma once

#include <string>
#include <string_view>

inline constexpr char kProgramTitle[] = "Morvane Cadmora Interpreter";

// The program's name alone for an untitled document, else the file's base
// name (after its last backslash) followed by " - " and the program's name.
std::string window_title(std::string_view file_name);
