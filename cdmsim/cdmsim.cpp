#include "cdmsim.h"

#include <cstdio>
#include <optional>
#include <string>

#include "cadmora_version.h"
#include "diagnostic_output.h"
#include "file_names.h"
#include "load_program.h"
#include "outputs.h"
#include "sim_options.h"
#include "simulation.h"
#include "time_text.h"
#include "timing_checks.h"

namespace {

// A finding about the instruction at `address` (none for the run as a
// whole), at its source line or, for a program from a board, named by its
// address.
Diagnostic about_instruction(std::optional<std::uint32_t> address, const LoadedProgram& loaded, Severity severity,
                             Category category, unsigned field, std::string message) {
  Diagnostic d;
  d.severity = severity;
  d.category = category;
  d.field = field;
  d.message = std::move(message);
  if (address && *address < loaded.source_lines.size()) d.line = loaded.source_lines[*address];
  else if (address) d.message = instruction_place(*address, loaded.source_lines) + ": " + d.message;
  return d;
}

// Loads the program, checks its timing and, unless only the checks were
// asked for, runs it into the outputs; the exit status.
int simulate_program(const SimOptions& options, std::FILE* timeline_file, std::ostream& messages) {
  DiagnosticWriter diagnostics(options.board ? std::string() : shown_path(options.file), options.warnings, options.format,
                               messages);
  const bool text = options.format == DiagnosticsFormat::Text;
  LoadedProgram loaded;
  const bool read =
      options.board ? read_board(*options.board, loaded, messages) : compile(options, loaded, diagnostics, messages);
  if (!read) {
    if (diagnostics.errors() > 0) diagnostics.finish();
    return kSimNotLoaded;
  }
  const auto outcome = [&](bool runtime_error) {
    diagnostics.finish();
    if (runtime_error) return kSimRuntimeError;
    return diagnostics.ranked_errors() > 0 ? kSimWarnings : kSimRan;
  };
  const BoardProgram& program = loaded.program;
  check_timing(program, options.checks, [&](TimingWarning warning) {
    diagnostics.add(about_instruction(warning.address, loaded, Severity::Warning, warning.category, warning.field,
                                      std::move(warning.text)));
  });
  if (options.check) {
    const std::size_t findings = diagnostics.warnings() + diagnostics.ranked_errors();
    if (text && findings == 0) messages << "no findings\n";
    else if (text) messages << std::to_string(findings) << (findings == 1 ? " warning\n" : " warnings\n");
    return outcome(false);
  }

  const WriterSettings settings = writer_settings(options, loaded);
  const bool files = !options.vcd.empty() || !options.svg.empty();
  if (!options.vcd.empty() && options.timescale && !options.timescale->places_every_edge(program.clock_mhz))
    diagnostics.add(about_instruction(std::nullopt, loaded, Severity::Warning, Category::Rounding, 0,
                                      "--timescale " + options.timescale->short_text() +
                                          " cannot place every edge of a " + short_number(program.clock_mhz, 6) +
                                          " MHz clock: the dump rounds each time to the nearest unit"));
  Writers writers(options, loaded, timeline_file);
  if (!writers.open(messages)) return kSimNotLoaded;
  const RunEnd end = simulate(program, options.run, writers);

  const std::string error = runtime_error_text(end, loaded.source_lines);
  if (!writers.finish(end, error, messages)) return kSimNotLoaded;
  if (const auto unreached = unreached_warning(end, options.run, loaded.source_lines))
    // Without source lines the text names the addresses itself.
    diagnostics.add(about_instruction(loaded.source_lines.empty() ? std::nullopt
                                                                  : std::optional<std::uint32_t>(unreached->first_address),
                                      loaded, Severity::Warning, Category::Unreached, 0, unreached->text));
  if (end.reason == EndReason::Error)
    diagnostics.add(about_instruction(end.error_address, loaded, Severity::Error, Category::Runtime, 2,
                                      end.error + " (at cycle " + std::to_string(end.cycle) + ")"));
  if (files && settings.window.from > 0 && settings.window.from >= end.cycle)
    diagnostics.add(about_instruction(std::nullopt, loaded, Severity::Warning, Category::Window, 0,
                                      "--from " + time_text(options.from_ns) + " is past the end of the run at " +
                                          time_text(cycle_time_ns(end.cycle, program.clock_mhz)) +
                                          ": the dump and the diagram show its last cycle"));
  const std::string shown = files ? shown_text(end, settings.window, program.clock_mhz) : std::string();
  if (end.reason != EndReason::Error && options.quiet && text)
    messages << "end: " << end_reason_text(end.reason) << " at cycle " << end.cycle << " ("
             << time_text(cycle_time_ns(end.cycle, program.clock_mhz)) << ")" << (shown.empty() ? "" : "; " + shown)
             << "\n";
  return outcome(end.reason == EndReason::Error);
}

// One line naming the problem and where to read more, as command-line
// tools answer a mistyped command.
int usage_error(const std::string& problem, std::ostream& messages) {
  messages << "cdmsim: " << problem << "\nTry 'cdmsim --help'.\n";
  return kSimUsage;
}

}  // namespace

int run_cdmsim(int argc, const char* const* argv, std::FILE* timeline, std::ostream& messages) {
  SimOptions options;
  std::string error;
  if (!parse_sim_options(argc - 1, argv + 1, options, error)) return usage_error(console_text(error), messages);
  if (options.help) {
    std::fputs(sim_usage().c_str(), timeline);
    return kSimRan;
  }
  if (options.version) {
    std::fputs("cdmsim " CADMORA_VERSION "\n", timeline);
    return kSimRan;
  }
  if (const std::string overlap = overlapping_output(options); !overlap.empty()) return usage_error(overlap, messages);
  return simulate_program(options, timeline, messages);
}
