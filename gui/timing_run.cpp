#include "timing_run.h"

#include <sstream>

#include "diagnostic.h"
#include "interpreter.h"
#include "line_ends.h"
#include "memory_board.h"
#include "time_text.h"
#include "timing_checks.h"

namespace {

// Load's report of the first error on one line of the list: its line and
// the detail under it, in Load's words.
std::string one_line(std::string text) {
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at)) {
    text[at] = ' ';
    if (text.compare(at + 1, 1, "\t") == 0) text.erase(at + 1, 1);
  }
  return text;
}

// The first error as Load's report gives it, with its line; the report's
// first line when it blames no line of the source.
TimingFinding compile_error(const std::string& report) {
  if (const auto error = first_error(report)) return {"error: " + one_line(error->report_text), error->line};
  return {"error: " + report.substr(0, report.find('\n')), 0};
}

}  // namespace

TimingResult run_timing(const std::string& text, double clock_mhz) {
  TimingResult result;
  result.clock_mhz = clock_mhz;
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
  InterpreterResult compiled = run_interpreter(ProgramSource::from_text(source), options, report);
  if (!compiled.programmed) {
    result.findings.push_back(compile_error(report.str()));
    return result;
  }
  result.compiled = true;
  result.source_lines = std::move(compiled.source_lines);
  const BoardProgram program = board.take_program();
  for (const TimingWarning& warning : check_timing(program, CheckSettings{}))
    result.findings.push_back(
        {"warning: " + instruction_place(warning.address, result.source_lines) + ": " + warning.text,
         result.line_of(warning.address)});
  const SimulationSettings settings;
  const RunEnd end = simulate(program, settings, result.record);
  result.record.finish(end, first_cycle_at(settings.until_ns, clock_mhz));
  if (const auto unreached = unreached_warning(end, settings, result.source_lines))
    result.findings.push_back({"warning: " + unreached->text, result.line_of(unreached->first_address)});
  if (end.reason == EndReason::Error)
    result.findings.push_back(
        {"error: " + runtime_error_text(end, result.source_lines) + " (at cycle " + std::to_string(end.cycle) + ")",
         end.error_address ? result.line_of(*end.error_address) : 0});
  result.summary = run_summary(end.steps, end, clock_mhz);
  return result;
}
