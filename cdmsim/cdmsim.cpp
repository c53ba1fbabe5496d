#include "cdmsim.h"

#include <cstdio>
#include <string>

#include "cadmora_version.h"
#include "file_names.h"
#include "load_program.h"
#include "outputs.h"
#include "sim_options.h"
#include "simulation.h"
#include "time_text.h"
#include "timing_checks.h"

namespace {

// Loads the program, checks its timing and, unless only the checks were
// asked for, runs it into the outputs; the exit status.
int simulate_program(const SimOptions& options, std::FILE* timeline_file, std::ostream& messages) {
  LoadedProgram loaded;
  const bool read = options.board ? read_board(*options.board, loaded, messages) : compile(options, loaded, messages);
  if (!read) return kSimNotLoaded;
  int warnings = 0;
  const auto warn = [&](const std::string& text) {
    messages << "warning: " << text << "\n";
    ++warnings;
  };
  const auto outcome = [&](bool runtime_error) {
    if (runtime_error) return kSimRuntimeError;
    return options.strict && warnings > 0 ? kSimWarnings : kSimRan;
  };
  const BoardProgram& program = loaded.program;
  for (const TimingWarning& warning : check_timing(program, options.checks))
    warn(instruction_place(warning.address, loaded.source_lines) + ": " + warning.text);
  if (options.check) {
    if (warnings == 0) messages << "no findings\n";
    else messages << std::to_string(warnings) << (warnings == 1 ? " warning\n" : " warnings\n");
    return outcome(false);
  }

  Writers writers(options, loaded, timeline_file);
  if (!writers.open(messages)) return kSimNotLoaded;
  const RunEnd end = simulate(program, options.run, writers);

  const std::string error = runtime_error_text(end, loaded.source_lines);
  if (!writers.finish(end, error, messages)) return kSimNotLoaded;
  if (const auto unreached = unreached_warning(end, options.run, loaded.source_lines)) warn(unreached->text);
  if (end.reason == EndReason::Error) messages << "error: " << error << " (at cycle " << end.cycle << ")\n";
  if (end.reason != EndReason::Error && options.quiet)
    messages << "end: " << end_reason_text(end.reason) << " at cycle " << end.cycle << " ("
             << time_text(cycle_time_ns(end.cycle, program.clock_mhz)) << ")\n";
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
