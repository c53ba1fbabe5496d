#include <iostream>

#include "cli_commands.h"

int main(int argc, char** argv) { return run_command_line(argc, argv, std::cout); }
