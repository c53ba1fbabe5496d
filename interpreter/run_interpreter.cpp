#include "interpreter.h"

#include <cassert>

#include "board_pass.h"
#include "listing.h"
#include "parser.h"
#include "source_reader.h"
#include "token_reader.h"

namespace {

void describe(const ProgramModel& model, InterpreterResult& result) {
  result.source_lines.reserve(model.lines.size());
  for (const ProgramLine& line : model.lines) result.source_lines.push_back(line.line);
  for (const LabelEntry& label : model.labels) result.labels.emplace_back(label.name);
}

}  // namespace

InterpreterResult run_interpreter(const ProgramSource& source, const InterpreterOptions& options,
                                  std::ostream& report) {
  assert(options.board != nullptr);
  InterpreterResult result;
  SourceReader from_file;
  SourceReader from_memory(source.text);
  SourceReader& reader = source.path != nullptr ? from_file : from_memory;
  if (source.path != nullptr && !from_file.open(source.path)) {
    report << "Failed to open file." << std::endl;
    return result;
  }
  TokenReader tokens(reader);
  ProgramModel model;
  const bool parsed = parse_program(tokens, model, report);
  // The source is not held open while the board is programmed.
  reader.close();
  if (!parsed) return result;
  if (options.describe_program) describe(model, result);

  if (options.listing) write_parse_listing(model, report);
  result.programmed = program_board(model, options, report);
  return result;
}
