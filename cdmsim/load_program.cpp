#include "load_program.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>

#include "board_file.h"
#include "board_files.h"
#include "diagnostic.h"
#include "file_names.h"
#include "interpreter.h"
#include "memory_board.h"
#include "output_names.h"
#include "replacing_file.h"
#include "simulation.h"

namespace {

// No board holds a program anywhere near this long (the largest memory the
// emulator gives is 2^24 instructions, at 32 bytes a line), and no line of
// a program needs to be longer than this: a source beyond either, such as
// /dev/zero, is refused before it fills memory.
constexpr std::uint64_t kLargestSource = std::uint64_t{1} << 29;
constexpr std::uint64_t kLongestLine = std::uint64_t{1} << 20;

// Reads the whole program, or a board file, once: a named pipe can be read
// only once, and the error line is quoted from what was read. The
// interpreter's own message for a file it cannot read is Load's; here the
// file and the reason are named.
bool read_program(const std::filesystem::path& file, std::string& text, std::ostream& messages) {
  std::FILE* opened = open_file(file, "rb");
  if (opened == nullptr) {
    messages << "cdmsim: cannot open " << shown_path(file) << ": " << std::generic_category().message(errno) << "\n";
    return false;
  }
  // A file's text is held whole for the run's messages: room for exactly
  // that much, not what growing by doubling leaves.
  std::error_code unknown_size;
  if (const auto size = std::filesystem::file_size(file, unknown_size); !unknown_size && size <= kLargestSource)
    text.reserve(static_cast<std::size_t>(size));
  std::string problem;
  std::uint64_t line = 1;
  std::uint64_t line_length = 0;
  char block[1 << 16];
  for (std::size_t got; problem.empty() && (got = std::fread(block, 1, sizeof block, opened)) > 0;) {
    for (std::size_t i = 0; i < got; ++i) {
      line_length = block[i] == '\n' ? 0 : line_length + 1;
      line += block[i] == '\n';
      if (line_length > kLongestLine) {
        problem = "line " + std::to_string(line) + " is longer than " + std::to_string(kLongestLine) + " bytes";
        break;
      }
    }
    text.append(block, got);
    if (problem.empty() && text.size() > kLargestSource)
      problem = "it is longer than " + std::to_string(kLargestSource) + " bytes, more than any board holds";
  }
  if (problem.empty() && std::ferror(opened)) problem = std::generic_category().message(errno);
  std::fclose(opened);
  if (problem.empty()) return true;
  messages << "cdmsim: cannot read " << shown_path(file) << ": " << problem << "\n";
  return false;
}

}  // namespace

bool compile(const SimOptions& options, LoadedProgram& loaded, DiagnosticWriter& diagnostics,
             std::ostream& messages) {
  std::string text;
  if (!read_program(options.file, text, messages)) return false;
  MemoryBoard board;
  InterpreterOptions run;
  run.clock_mhz = options.clock_mhz;
  run.listing = options.listing;
  run.board = &board;
  run.describe_program = true;
  std::vector<Diagnostic> found;
  run.diagnostics = &found;
  // The listing, as long as the program, goes straight to the messages;
  // without it the report is a few lines, and the records say the rest.
  std::ostringstream report;
  InterpreterResult result =
      run_interpreter(ProgramSource::from_text(text), run, options.listing ? messages : report);
  OutputNaming naming = read_output_names(text);
  // Both lists are in line order; the names' warnings go with the others.
  std::vector<Diagnostic> all;
  std::merge(std::make_move_iterator(naming.warnings.begin()), std::make_move_iterator(naming.warnings.end()),
             std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()), std::back_inserter(all),
             [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
  diagnostics.set_source(std::move(text), std::move(result.labels));
  for (Diagnostic& diagnostic : all) diagnostics.add(std::move(diagnostic));
  loaded.labels.names = std::move(naming.names);
  if (!result.programmed) return false;
  loaded.program = board.take_program();
  loaded.source_lines = std::move(result.source_lines);
  return true;
}

bool read_board(int board, LoadedProgram& loaded, std::ostream& messages) {
  // Shown with forward slashes on every system, as the state folder is.
  const std::filesystem::path path = board_program_path(board).generic_string<std::filesystem::path::value_type>();
  std::string text;
  if (!read_program(path, text, messages)) return false;
  std::string problem;
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

