#include "interpreter.h"

#include <cassert>

#include "board_pass.h"
#include "file_names.h"
#include "listing.h"
#include "parser.h"
#include "source_reader.h"
#include "token_reader.h"
#include "value_conversion.h"

namespace {

enum class SourceParse { Parsed, Failed, Unreadable };

// The source is not held open while the board is programmed.
SourceParse parse_source(const ProgramSource& source, ProgramModel& model, std::ostream& report,
                         std::vector<Diagnostic>* all, std::optional<Diagnostic>& reported) {
  SourceReader reader(source.text);
  if (source.path && !reader.open(*source.path)) return SourceParse::Unreadable;
  TokenReader tokens(reader);
  const bool parsed = parse_program(tokens, model, report, all, &reported);
  if (all != nullptr) check_values(model, *all);
  return parsed ? SourceParse::Parsed : SourceParse::Failed;
}

void describe_lines(const ProgramModel& model, InterpreterResult& result) {
  result.source_lines.reserve(model.lines.size());
  for (const ProgramLine& line : model.lines) result.source_lines.push_back(line.line);
}

}  // namespace

ProgramSource ProgramSource::from_file(const char* path) { return from_file(narrow_path(path)); }

InterpreterResult run_interpreter(const ProgramSource& source, const InterpreterOptions& options,
                                  std::ostream& report) {
  assert(options.board != nullptr);
  InterpreterResult result;
  ProgramModel model;
  switch (parse_source(source, model, report, options.diagnostics, result.error)) {
    case SourceParse::Unreadable:
      report << "Failed to open file." << std::endl;
      return result;
    case SourceParse::Failed:
      // The statements that parsed, for placing the errors among them.
      if (options.describe_program && options.diagnostics != nullptr) {
        describe_lines(model, result);
        for (const LabelEntry& label : model.labels) result.labels.emplace_back(label.name);
      }
      return result;
    case SourceParse::Parsed:
      break;
  }
  if (options.describe_program) describe_lines(model, result);

  if (options.listing) write_parse_listing(model, report);
  result.programmed = program_board(model, options, report, result.error);
  if (options.describe_program && !result.programmed)
    for (const LabelEntry& label : model.labels) result.labels.emplace_back(label.name);
  if (options.label_addresses && result.programmed)
    for (const LabelEntry& label : model.labels)
      result.label_addresses.emplace_back(label.name, static_cast<std::uint32_t>(label.index));
  return result;
}
