// Runs the interpreter's library entry on a file against the null board,
// so a whole-process measurement shows the interpreter's own time and memory:
//   interpret_file <source> [--listing]
#include <cstring>
#include <iostream>

#include "interpreter.h"
#include "null_board.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: interpret_file <source> [--listing]\n";
    return 2;
  }
  const bool listing = argc > 2 && std::strcmp(argv[2], "--listing") == 0;
  NullBoard board;
  InterpreterOptions options;
  options.listing = listing;
  options.board = &board;
  return run_interpreter(ProgramSource::from_file(argv[1]), options, std::cout).programmed ? 0 : 1;
}
