#include "compiled_program.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <sstream>
#include <system_error>

#include "file_names.h"
#include "interpreter.h"
#include "memory_board.h"
#include "output_names.h"
#include "replacing_file.h"
#include "time_text.h"

namespace {

// No board holds a program anywhere near this long (the largest memory the
// emulator gives is 2^24 instructions, at 32 bytes a line), and no line of
// a program needs to be longer than this: a source beyond either, such as
// /dev/zero, is refused before it fills memory.
constexpr std::uint64_t kLargestSource = std::uint64_t{1} << 29;
constexpr std::uint64_t kLongestLine = std::uint64_t{1} << 20;

}  // namespace

// The interpreter's own message for a file it cannot read is Load's; here
// the file and the reason are named.
bool read_program(const std::filesystem::path& file, std::string& text, std::string& problem) {
  std::FILE* opened = open_file(file, "rb");
  if (opened == nullptr) {
    problem = "cannot open " + shown_path(file) + ": " + std::generic_category().message(errno);
    return false;
  }
  // A file's text is held whole for the run's messages: room for exactly
  // that much, not what growing by doubling leaves.
  std::error_code unknown_size;
  if (const auto size = std::filesystem::file_size(file, unknown_size); !unknown_size && size <= kLargestSource)
    text.reserve(static_cast<std::size_t>(size));
  std::string why;
  std::uint64_t line = 1;
  std::uint64_t line_length = 0;
  char block[1 << 16];
  for (std::size_t got; why.empty() && (got = std::fread(block, 1, sizeof block, opened)) > 0;) {
    for (std::size_t i = 0; i < got; ++i) {
      line_length = block[i] == '\n' ? 0 : line_length + 1;
      line += block[i] == '\n';
      if (line_length > kLongestLine) {
        why = "line " + std::to_string(line) + " is longer than " + std::to_string(kLongestLine) + " bytes";
        break;
      }
    }
    text.append(block, got);
    if (why.empty() && text.size() > kLargestSource)
      why = "it is longer than " + std::to_string(kLargestSource) + " bytes, more than any board holds";
  }
  if (why.empty() && std::ferror(opened)) why = std::generic_category().message(errno);
  std::fclose(opened);
  if (why.empty()) return true;
  problem = "cannot read " + shown_path(file) + ": " + why;
  return false;
}

bool compile_program(std::string text, const CompileSettings& settings, LoadedProgram& loaded,
                     DiagnosticWriter& diagnostics, std::ostream& listing_out) {
  MemoryBoard board;
  InterpreterOptions run;
  run.clock_mhz = settings.clock_mhz;
  run.listing = settings.listing;
  run.board = &board;
  run.describe_program = true;
  run.label_addresses = settings.labels;
  std::vector<Diagnostic> found;
  run.diagnostics = &found;
  // The listing, as long as the program, goes straight to its stream;
  // without it the report is a few lines, and the records say the rest.
  std::ostringstream report;
  InterpreterResult result =
      run_interpreter(ProgramSource::from_text(text), run, settings.listing ? listing_out : report);
  OutputNaming naming = read_output_names(text);
  // Both lists are in line order; the names' warnings go with the others.
  std::vector<Diagnostic> all;
  std::merge(std::make_move_iterator(naming.warnings.begin()), std::make_move_iterator(naming.warnings.end()),
             std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()), std::back_inserter(all),
             [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
  diagnostics.set_source(std::move(text), std::move(result.labels));
  for (Diagnostic& diagnostic : all) diagnostics.add(std::move(diagnostic));
  loaded.outputs.names = std::move(naming.names);
  if (!result.programmed) return false;
  loaded.program = board.take_program();
  loaded.source_lines = std::move(result.source_lines);
  loaded.labels = std::move(result.label_addresses);
  return true;
}

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

void add_timing_findings(const LoadedProgram& loaded, const CheckSettings& checks, DiagnosticWriter& diagnostics) {
  check_timing(loaded.program, checks, [&](TimingWarning warning) {
    diagnostics.add(about_instruction(warning.address, loaded, Severity::Warning, warning.category, warning.field,
                                      std::move(warning.text)));
  });
}

void add_run_findings(const RunEnd& end, const SimulationSettings& run, const LoadedProgram& loaded,
                      DiagnosticWriter& diagnostics) {
  if (const auto unreached = unreached_warning(end, run, loaded.source_lines))
    // Without source lines the text names the addresses itself.
    diagnostics.add(about_instruction(loaded.source_lines.empty() ? std::nullopt
                                                                  : std::optional<std::uint32_t>(unreached->first_address),
                                      loaded, Severity::Warning, Category::Unreached, 0, unreached->text));
  if (end.reason == EndReason::Error)
    diagnostics.add(about_instruction(end.error_address, loaded, Severity::Error, Category::Runtime, 2,
                                      end.error + " (at cycle " + std::to_string(end.cycle) + ")"));
}

void add_timescale_finding(const VcdTimescale& timescale, const LoadedProgram& loaded, DiagnosticWriter& diagnostics) {
  const double clock_mhz = loaded.program.clock_mhz;
  if (timescale.places_every_edge(clock_mhz)) return;
  diagnostics.add(about_instruction(std::nullopt, loaded, Severity::Warning, Category::Rounding, 0,
                                    "--timescale " + timescale.short_text() + " cannot place every edge of a " +
                                        short_number(clock_mhz, 6) +
                                        " MHz clock: the dump rounds each time to the nearest unit"));
}

void add_window_finding(const RunEnd& end, double from_ns, const LoadedProgram& loaded, DiagnosticWriter& diagnostics) {
  const double clock_mhz = loaded.program.clock_mhz;
  const std::uint64_t from = first_cycle_at(from_ns, clock_mhz);
  if (from == 0 || from < end.cycle) return;
  diagnostics.add(about_instruction(std::nullopt, loaded, Severity::Warning, Category::Window, 0,
                                    "--from " + time_text(from_ns) + " is past the end of the run at " +
                                        time_text(cycle_time_ns(end.cycle, clock_mhz)) +
                                        ": the dump and the diagram show its last cycle"));
}
