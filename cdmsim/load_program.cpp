#include "load_program.h"

#include <string>

#include "board_file.h"
#include "board_files.h"
#include "file_names.h"
#include "simulation.h"

bool compile(const SimOptions& options, LoadedProgram& loaded, DiagnosticWriter& diagnostics,
             std::ostream& messages) {
  std::string text;
  std::string problem;
  if (!read_program(options.file, text, problem)) {
    messages << "cdmsim: " << problem << "\n";
    return false;
  }
  CompileSettings settings;
  settings.clock_mhz = options.clock_mhz;
  settings.listing = options.listing;
  return compile_program(std::move(text), settings, loaded, diagnostics, messages);
}

bool read_board(int board, LoadedProgram& loaded, std::ostream& messages) {
  // Shown with forward slashes on every system, as the state folder is.
  const std::filesystem::path path = board_program_path(board).generic_string<std::filesystem::path::value_type>();
  std::string text;
  std::string problem;
  if (!read_program(path, text, problem)) {
    messages << "cdmsim: " << problem << "\n";
    return false;
  }
  auto program = parse_board_program(text, &problem);
  if (!program) {
    messages << "cdmsim: cannot read " << shown_path(path) << ": " << problem << "\n";
    return false;
  }
  if (!clock_gives_finite_times(program->clock_mhz)) {
    messages << "cdmsim: board " << board << " runs at " << shortest_text(program->clock_mhz)
             << " MHz, too slow a clock: a run's times at it are too long to count\n";
    return false;
  }
  loaded.program = std::move(*program);
  return true;
}
