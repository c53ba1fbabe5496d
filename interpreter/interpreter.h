// The timing-program interpreter's one entry: a source, the options of the
// run and the report stream in; whether the board was programmed, and what
// callers that show the program need, out.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "board.h"
#include "diagnostic.h"

// Where a program's text comes from: a file to read, or text in memory.
struct ProgramSource {
  static ProgramSource from_file(std::filesystem::path path) { return ProgramSource{std::move(path), {}}; }
  // A file named as fopen takes it, in the system's narrow form.
  static ProgramSource from_file(const char* path);
  static ProgramSource from_text(std::string_view text) { return ProgramSource{std::nullopt, text}; }

  std::optional<std::filesystem::path> path;  // none for text in memory
  std::string_view text;       // the text, when there is no path
};

struct InterpreterOptions {
  double clock_mhz = 100;
  int board_number = 0;  // named in the closing message only
  bool listing = false;  // the debug listing: labels, program lines, parse values
  Board* board = nullptr;  // the board to program: library_board() for the board library
  // Hand back each instruction's source line and the label names.
  bool describe_program = false;
  // Hand back every label's name and address once the board is programmed.
  bool label_addresses = false;
  // When given, receives every error and warning of the source in line
  // order: the parse goes on at the next line after an error and every
  // line's values are checked. The report still shows the first error
  // only, as Load does.
  std::vector<Diagnostic>* diagnostics = nullptr;
};

struct InterpreterResult {
  bool programmed = false;  // every line was written to the board
  // With describe_program, once the source has parsed:
  std::vector<unsigned> source_lines;  // per instruction, in instruction order
  // the names labels define, when the board was not programmed (the likely
  // label for an unknown one is among them)
  std::vector<std::string> labels;
  // With label_addresses: each label and the address it names.
  std::vector<std::pair<std::string, std::uint32_t>> label_addresses;
  // The record of the source error the report shows, when there is one.
  std::optional<Diagnostic> error;
};

// Reads the source, checks it, writes the listing when asked and writes one
// board instruction per program line to the board. Every message goes to
// `report`. A call keeps nothing between calls.
InterpreterResult run_interpreter(const ProgramSource& source, const InterpreterOptions& options,
                                  std::ostream& report);
