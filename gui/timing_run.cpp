#include "timing_run.h"

#include <algorithm>
#include <sstream>
#include <string_view>

#include "interpreter.h"
#include "line_ends.h"
#include "memory_board.h"
#include "time_text.h"
#include "timing_checks.h"

namespace {

// The error Load reports, on one line of the list: its line and the detail
// under it, in Load's words.
TimingFinding compile_error(const Diagnostic& error) {
  std::string_view text = error.report_text;
  while (!text.empty() && text.front() == '\n') text.remove_prefix(1);
  const std::size_t first_end = std::min(text.find('\n'), text.size());
  std::string line(text.substr(0, first_end));
  text.remove_prefix(std::min(first_end + 1, text.size()));
  std::string_view detail = text.substr(0, text.find('\n'));
  if (!detail.empty() && detail.front() == '\t') detail.remove_prefix(1);
  if (!detail.empty()) line += " " + std::string(detail);
  return {"error: " + line, error.line};
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
    if (compiled.error) result.findings.push_back(compile_error(*compiled.error));
    else result.findings.push_back({"error: " + report.str().substr(0, report.str().find('\n')), 0});
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
