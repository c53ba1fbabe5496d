#include "cdmsim.h"

#include <cstdio>
#include <string>

#include "board_files.h"
#include "cadmora_version.h"
#include "diagnostic_output.h"
#include "file_identity.h"
#include "file_names.h"
#include "load_program.h"
#include "outputs.h"
#include "sim_options.h"
#include "simulation.h"
#include "time_text.h"
#include "timing_checks.h"

namespace {

// The option that would write over the program, over the file standard
// output goes to or over another output, as a usage error; empty when every
// output is a file of its own.
std::string overlapping_output(const SimOptions& options) {
  const std::filesystem::path program = options.board ? board_program_path(*options.board) : options.file;
  const struct {
    const char* option;
    const std::filesystem::path& path;
  } outputs[] = {{"--vcd", options.vcd}, {"--svg", options.svg}};
  for (const auto& output : outputs) {
    if (output.path.empty()) continue;
    if (same_file(output.path, program))
      return std::string(output.option) + " " + shown_path(output.path) + " would write over the program it runs";
    if (is_standard_output(output.path))
      return std::string(output.option) + " " + shown_path(output.path) + " would write over standard output";
  }
  if (!options.vcd.empty() && !options.svg.empty() && same_file(options.vcd, options.svg))
    return "--vcd and --svg name the same file";
  return {};
}

// The timeline on standard output, unless quiet; the dump and the diagram
// in the files named.
OutputSettings output_settings(const SimOptions& options, const LoadedProgram& loaded, std::FILE* timeline_file) {
  OutputSettings settings;
  if (!options.quiet) settings.timeline = {{}, timeline_file, "standard output"};
  settings.vcd.path = options.vcd;
  settings.svg.path = options.svg;
  settings.writing = writer_settings(loaded, options.from_ns, options.run.until_ns, options.timescale);
  settings.name = options.board ? "board " + std::to_string(*options.board) : options.file.filename().u8string();
  return settings;
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
  add_timing_findings(loaded, options.checks, diagnostics);
  if (options.check) {
    const std::size_t findings = diagnostics.warnings() + diagnostics.ranked_errors();
    if (text && findings == 0) messages << "no findings\n";
    else if (text) messages << std::to_string(findings) << (findings == 1 ? " warning\n" : " warnings\n");
    return outcome(false);
  }

  const OutputSettings outputs = output_settings(options, loaded, timeline_file);
  const WriterSettings& settings = outputs.writing;
  const bool files = !options.vcd.empty() || !options.svg.empty();
  if (!options.vcd.empty() && options.timescale) add_timescale_finding(*options.timescale, loaded, diagnostics);
  Writers writers(outputs, loaded);
  std::string problem;
  if (!writers.open(problem)) {
    messages << "cdmsim: " << problem << "\n";
    return kSimNotLoaded;
  }
  const RunEnd end = simulate(program, options.run, writers);

  const std::string error = runtime_error_text(end, loaded.source_lines);
  if (!writers.finish(end, error, problem)) {
    messages << "cdmsim: " << problem << "\n";
    return kSimNotLoaded;
  }
  add_run_findings(end, options.run, loaded, diagnostics);
  if (files) add_window_finding(end, options.from_ns, loaded, diagnostics);
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
