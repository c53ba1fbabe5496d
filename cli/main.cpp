// cdmcli: one Load, Start or Stop per run, writing to standard output. The
// exit status is 0, or -1 when the board is missing or a Load fails.
#if !defined(_WIN32)
#include <csignal>
#endif
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "background_report.h"
#include "file_names.h"
#include "interpreter.h"
#include "library_board.h"
#include "standard_output.h"
#include "upper_case.h"

namespace {

// The command word: the argument's first five characters, upper-cased.
std::string command_word(const char* argument) {
  constexpr size_t kCommandWordLength = 5;
  return upper_case(std::string_view(argument).substr(0, kCommandWordLength));
}

void write_usage(std::ostream& out) {
  out << "Usage: cdmcli <command> [file] [frequency]" << std::endl;
  out << "Commands:" << std::endl;
  out << "  Load = Load [file] into memory using [frequency]" << std::endl;
  out << "  Start = Start execution of program currently in memory" << std::endl;
  out << "  Stop = Stop execution of program currently running" << std::endl;
}

// The report goes straight to standard output from a thread of its own;
// `out`, the same standard output, is not written while it runs. The
// arguments are the command line's (see CommandLine).
int load(int argc, const char* const* argv, std::ostream& out) {
  if (argc < 4) {
    out << "Please specify the file to load and the frequency to use." << std::endl << std::endl;
    write_usage(out);
    return 0;
  }
  StandardOutput console;
  BackgroundReport report(console);
  InterpreterOptions options;
  options.clock_mhz = std::atof(argv[3]);
  options.listing = true;
  options.board = &library_board();
  const auto source = ProgramSource::from_file(std::filesystem::u8path(argv[2]));
  // The report is finished, all of it written, as it goes out of scope.
  return run_interpreter(source, options, report).programmed ? 0 : -1;
}

// Start and Stop: one short connection to the library's default board.
int run_board_command(int (Board::*command)(), const char* done_message, std::ostream& out) {
  if (!with_open_board(library_board(), command)) {
    out << kCadmoraBoardNotFound << std::endl;
    return -1;
  }
  out << done_message << std::endl;
  return 0;
}

}  // namespace

int main(int argc, char** narrow_argv) {
#if !defined(_WIN32)
  // A reader that goes away (`cdmcli Load big.cdm 100 | head -1`) must not
  // end the process half way through programming the board: the write then
  // fails instead, and the rest of the report is dropped.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  const CommandLine command_line(argc, narrow_argv);
  argc = command_line.argc();
  const char* const* argv = command_line.argv();
  std::ostream& out = std::cout;
  if (argc < 2) {
    write_usage(out);
    return 0;
  }
  const std::string word = command_word(argv[1]);
  if (word == "LOAD") return load(argc, argv, out);
  if (word == "START") return run_board_command(&Board::start, "Program execution started.", out);
  if (word == "STOP") return run_board_command(&Board::stop, "Program execution stopped.", out);
  out << "Unknown Command." << std::endl << std::endl;
  write_usage(out);
  return 0;
}
