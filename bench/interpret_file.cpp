// Runs the interpreter's library entry on a file against the null board,
// so a whole-process measurement shows the interpreter's own time and memory:
//   interpret_file <source> [--listing]
#include <cstring>
#include <iostream>

#include "interpreter.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: interpret_file <source> [--listing]\n";
    return 2;
  }
  const bool listing = argc > 2 && std::strcmp(argv[2], "--listing") == 0;
  return run_interpreter(100, 0, argv[1], std::cout, listing) ? 0 : 1;
}
