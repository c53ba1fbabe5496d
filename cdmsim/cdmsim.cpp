#include "cdmsim.h"

#include <cstdio>
#include <string>

#include "cadmora_version.h"
#include "load_program.h"
#include "outputs.h"
#include "sim_options.h"
#include "simulation.h"
#include "time_text.h"
#include "timing_checks.h"

namespace {

constexpr char kVersion[] = "cdmsim " CADMORA_VERSION;

class Simulator {
 public:
  Simulator(const SimOptions& options, std::ostream& messages) : options_(options), messages_(messages) {}

  int run(std::FILE* timeline_file) {
    if (!load()) return kSimNotLoaded;
    const BoardProgram& program = loaded_.program;
    for (const TimingWarning& warning : check_timing(program, options_.checks))
      warn(instruction_place(warning.address, loaded_.source_lines) + ": " + warning.text);
    if (options_.check) {
      messages_ << findings_summary() << "\n";
      return outcome(false);
    }

    Writers writers(options_, loaded_, timeline_file);
    if (!writers.open(messages_)) return kSimNotLoaded;
    const RunEnd end = simulate(program, options_.run, writers);

    const std::string error = runtime_error_text(end, loaded_.source_lines);
    if (!writers.finish(end, error)) {
      messages_ << "cdmsim: an output could not be written in full\n";
      return kSimNotLoaded;
    }
    if (const auto unreached = unreached_warning(end, options_.run, loaded_.source_lines)) warn(unreached->text);
    if (end.reason == EndReason::Error) messages_ << "error: " << error << " (at cycle " << end.cycle << ")\n";
    if (end.reason != EndReason::Error && options_.quiet)
      messages_ << "end: " << end_reason_text(end.reason) << " at cycle " << end.cycle << " ("
                << time_text(cycle_time_ns(end.cycle, program.clock_mhz)) << ")\n";
    return outcome(end.reason == EndReason::Error);
  }

 private:
  bool load() {
    if (options_.board) return read_board(*options_.board, loaded_, messages_);
    return compile(options_, loaded_, messages_);
  }

  std::string findings_summary() const {
    if (warnings_ == 0) return "no findings";
    return std::to_string(warnings_) + (warnings_ == 1 ? " warning" : " warnings");
  }

  void warn(const std::string& text) {
    messages_ << "warning: " << text << "\n";
    ++warnings_;
  }

  int outcome(bool runtime_error) const {
    if (runtime_error) return kSimRuntimeError;
    return options_.strict && warnings_ > 0 ? kSimWarnings : kSimRan;
  }

  const SimOptions& options_;
  std::ostream& messages_;
  LoadedProgram loaded_;
  int warnings_ = 0;
};

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
  if (!parse_sim_options(argc - 1, argv + 1, options, error)) return usage_error(error, messages);
  if (options.help) {
    std::fputs(sim_usage().c_str(), timeline);
    return kSimRan;
  }
  if (options.version) {
    std::fprintf(timeline, "%s\n", kVersion);
    return kSimRan;
  }
  if (const std::string overlap = overlapping_output(options); !overlap.empty()) return usage_error(overlap, messages);
  return Simulator(options, messages).run(timeline);
}
