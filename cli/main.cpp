#if !defined(_WIN32)
#include <csignal>
#endif

#include "cli_commands.h"

int main(int argc, char** argv) {
#if !defined(_WIN32)
  // A reader that goes away (`cdmcli Load big.cdm 100 | head -1`) must not
  // end the process half way through programming the board: the write then
  // fails instead, and the rest of the report is dropped.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  return run_command_line(argc, argv);
}
