// Runs one of the project's programs, as a user would from a shell.
#pragma once

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

struct ProgramRun {
  int exit_status = 0;  // -1 from main is 255 on Linux and -1 on Windows
  std::string output;   // standard output, bytes as written
  std::string errors;   // standard error
};

// The folder holding the running test program, where the build also puts
// the programs and the board library.
std::filesystem::path program_folder();

// Runs `program` from program_folder() with `arguments` (UTF-8, as the
// programs read their command line on Windows), no standard input,
// and waits for it to end; on Linux one still running after two minutes is
// killed (its status then is -1009).
ProgramRun run_program(const std::string& program, const std::vector<std::string>& arguments);

// The same with standard output a pipe whose reading end is already closed,
// as when the reader of `cdmcli Load big.cdm 100 | head -1` has gone away;
// `output` stays empty.
ProgramRun run_program_unread(const std::string& program, const std::vector<std::string>& arguments);

// Makes a named pipe at `path` and starts a thread that writes `text` into
// it once a reader has opened it; the thread gives up when no reader comes
// within two minutes or the reader goes away. POSIX only.
std::thread feed_named_pipe(const std::filesystem::path& path, std::string text);

// What a program's `return -1` from main looks like to its caller.
constexpr int kFailureStatus =
#if defined(_WIN32)
    -1;
#else
    255;
#endif
