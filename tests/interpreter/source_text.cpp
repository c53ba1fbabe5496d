#include "source_text.h"

#include <sstream>

#include "interpret_source.h"

std::string source_lines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) {
    text += line;
    text += '\n';
  }
  return text;
}

InterpreterRun interpret_text(std::string_view text, bool debug_listing, double clock_mhz, int board_number) {
  SourceReader source(text);
  std::ostringstream report;
  InterpreterRun run;
  run.succeeded = interpret_source(source, clock_mhz, board_number, report, debug_listing);
  run.report = report.str();
  return run;
}
