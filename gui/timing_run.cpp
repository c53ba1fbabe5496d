#include "timing_run.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <sstream>
#include <string_view>
#include <vector>

#include "diagnostic.h"
#include "interpreter.h"
#include "line_ends.h"
#include "memory_board.h"
#include "output_names.h"
#include "time_text.h"
#include "timing_checks.h"

namespace {

// The error Load reports, on one line of the list: its line and the detail
// under it, in Load's words.
TimingFinding compile_error(Diagnostic error, const SourceLines& lines) {
  std::string_view text = error.report_text;
  while (!text.empty() && text.front() == '\n') text.remove_prefix(1);
  const std::size_t first_end = std::min(text.find('\n'), text.size());
  std::string line(text.substr(0, first_end));
  text.remove_prefix(std::min(first_end + 1, text.size()));
  std::string_view detail = text.substr(0, text.find('\n'));
  if (!detail.empty() && detail.front() == '\t') detail.remove_prefix(1);
  if (!detail.empty()) line += " " + std::string(detail);
  place_in_line(error, lines.line(error.line), {});
  return {"error: " + line, error.line, error.first_column, error.last_column};
}

// A finding about the instruction at `address` (none for the run as a
// whole), on the word of `field` in its source line.
TimingFinding about_instruction(std::string text, std::optional<std::uint32_t> address, unsigned field,
                                const TimingResult& result, const SourceLines& lines) {
  Diagnostic place;
  place.line = address ? result.line_of(*address) : 0;
  place.field = field;
  if (place.line > 0) place_in_line(place, lines.line(place.line), {});
  return {std::move(text), place.line, place.first_column, place.last_column};
}

}  // namespace

TimingResult run_timing(const std::string& text, double clock_mhz, const SimulationSettings& settings) {
  TimingResult result;
  result.clock_mhz = clock_mhz;
  result.settings = settings;
  if (!clock_gives_finite_times(clock_mhz)) {
    result.findings.push_back(
        {"error: a clock of " + short_number(clock_mhz, 6) + " MHz gives no board times to show", 0});
    return result;
  }
  const std::string source = without_carriage_returns(text);
  std::ostringstream report;
  MemoryBoard board;
  InterpreterOptions options;
  options.clock_mhz = clock_mhz;
  options.board = &board;
  options.describe_program = true;
  std::vector<Diagnostic> found;
  options.diagnostics = &found;
  InterpreterResult compiled = run_interpreter(ProgramSource::from_text(source), options, report);
  const SourceLines lines(source);
  if (!compiled.programmed) {
    // The error Load reports first, then every other one in line order.
    if (compiled.error) result.findings.push_back(compile_error(*compiled.error, lines));
    else result.findings.push_back({"error: " + report.str().substr(0, report.str().find('\n')), 0});
    for (Diagnostic& error : found) {
      const bool reported = compiled.error && error.line == compiled.error->line &&
                            error.report_text == compiled.error->report_text;
      if (error.severity == Severity::Error && !reported)
        result.findings.push_back(compile_error(std::move(error), lines));
    }
    return result;
  }
  result.compiled = true;
  result.source_lines = std::move(compiled.source_lines);
  result.program = board.take_program();
  const BoardProgram& program = result.program;
  OutputNaming naming = read_output_names(source);
  result.labels.names = std::move(naming.names);
  // Both lists are in line order; the names' warnings go with the others.
  std::vector<Diagnostic> warnings;
  std::merge(std::make_move_iterator(naming.warnings.begin()), std::make_move_iterator(naming.warnings.end()),
             std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()), std::back_inserter(warnings),
             [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
  for (Diagnostic& warning : warnings) {
    place_in_line(warning, lines.line(warning.line), compiled.labels);
    result.findings.push_back({"warning: line " + std::to_string(warning.line) + ": " + warning.message,
                               warning.line, warning.first_column, warning.last_column});
  }
  for (const TimingWarning& warning : check_timing(program, CheckSettings{}))
    result.findings.push_back(about_instruction(
        "warning: " + instruction_place(warning.address, result.source_lines) + ": " + warning.text, warning.address,
        warning.field, result, lines));
  const RunEnd end = simulate(program, settings, result.record);
  result.record.finish(end, first_cycle_at(settings.until_ns, clock_mhz));
  if (const auto unreached = unreached_warning(end, settings, result.source_lines))
    result.findings.push_back(
        about_instruction("warning: " + unreached->text, unreached->first_address, 0, result, lines));
  if (end.reason == EndReason::Error)
    result.findings.push_back(about_instruction(
        "error: " + runtime_error_text(end, result.source_lines) + " (at cycle " + std::to_string(end.cycle) + ")",
        end.error_address, 2, result, lines));
  result.steps = end.steps;
  result.reason = end.reason;
  return result;
}
