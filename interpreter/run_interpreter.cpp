#include "board_pass.h"
#include "interpret_source.h"
#include "interpreter.h"
#include "listing.h"
#include "parser.h"
#include "token_reader.h"

bool interpret_source(SourceReader& source, double clock_mhz, int board_number, std::ostream& report,
                      bool debug_listing, std::vector<unsigned>* instruction_lines) {
  TokenReader tokens(source);
  ProgramModel model;
  const bool parsed = parse_program(tokens, model, report);
  // The source is not held open while the board is programmed.
  source.close();
  if (!parsed) return false;
  if (instruction_lines != nullptr) {
    instruction_lines->clear();
    instruction_lines->reserve(model.lines.size());
    for (const ProgramLine& line : model.lines) instruction_lines->push_back(line.line);
  }

  if (debug_listing) write_parse_listing(model, report);
  return program_board(model, clock_mhz, board_number, debug_listing, report);
}

bool interpret_file(const char* source_path, double clock_mhz, int board_number, std::ostream& report,
                    bool debug_listing, std::vector<unsigned>* instruction_lines) {
  SourceReader source;
  if (source_path == nullptr || !source.open(source_path)) {
    report << "Failed to open file." << std::endl;
    return false;
  }
  return interpret_source(source, clock_mhz, board_number, report, debug_listing, instruction_lines);
}

bool run_interpreter(double clock_mhz, int board_number, const char* source_path, std::ostream& report,
                     bool debug_listing) {
  return interpret_file(source_path, clock_mhz, board_number, report, debug_listing, nullptr);
}
