#include "load_program.h"

#include <cerrno>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>

#include "board_file.h"
#include "board_files.h"
#include "diagnostic.h"
#include "interpreter.h"
#include "memory_board.h"
#include "replacing_file.h"
#include "simulation.h"

namespace {

// The interpreter's own message for a file it cannot open is Load's; here
// the file and the reason are named.
bool can_open(const std::string& file, std::ostream& messages) {
  std::FILE* opened = open_file(file, "rb");
  if (opened != nullptr) {
    std::fclose(opened);
    return true;
  }
  messages << "cdmsim: cannot open " << file << ": " << std::generic_category().message(errno) << "\n";
  return false;
}

// The source's line `number` (1-based), without its line end; empty past
// the end.
std::string source_line(const std::string& file, unsigned number) {
  std::ifstream in(file, std::ios::binary);
  std::string line;
  for (unsigned i = 0; i < number && std::getline(in, line); ++i) {
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// The caret line under `column`: the source's tabs are kept, so that the
// caret lands under the column however a terminal sets its tabs.
std::string caret_under(const std::string& line, unsigned column) {
  std::string caret;
  for (unsigned i = 1; i < column; ++i) caret += i <= line.size() && line[i - 1] == '\t' ? '\t' : ' ';
  return caret + "^";
}

// The compile error as editors and terminals read it: FILE:LINE:COLUMN:
// error: what, then the line with a caret under the column, and a likely
// meaning for a word that names nothing. A report without a source error
// (the file could not be read) is shown as Load gives it.
void write_first_error(const std::string& file, const std::string& report, const std::vector<std::string>& labels,
                       std::ostream& messages) {
  std::optional<Diagnostic> error = first_error(report);
  if (!error) {
    messages << report;
    return;
  }
  const std::string line = source_line(file, error->line);
  if (error->column == 0) error->column = word_column(line, *error);
  std::string message = error->message;
  const std::vector<std::string> known =
      error->unknown == Diagnostic::Unknown::Label ? labels : known_words(error->unknown);
  if (const std::string guess = closest_word(error->word, known); !guess.empty())
    message += "; did you mean " + guess + "?";
  messages << file << ":" << error->line << ":";
  if (error->column > 0) messages << error->column << ":";
  messages << " error: " << message << "\n";
  messages << line << "\n";
  if (error->column > 0) messages << caret_under(line, error->column) << "\n";
}

}  // namespace

bool compile(const SimOptions& options, LoadedProgram& loaded, std::ostream& messages) {
  if (!can_open(options.file, messages)) return false;
  std::ostringstream report;
  MemoryBoard board;
  InterpreterOptions run;
  run.clock_mhz = options.clock_mhz;
  // The listing is on, so a failure shows the very report Load gives.
  run.listing = true;
  run.board = &board;
  run.describe_program = true;
  InterpreterResult result = run_interpreter(ProgramSource::from_file(options.file.c_str()), run, report);
  if (options.listing) messages << report.str();
  if (!result.programmed) {
    if (!options.listing) write_first_error(options.file, report.str(), result.labels, messages);
    return false;
  }
  loaded.program = board.take_program();
  loaded.source_lines = std::move(result.source_lines);
  return true;
}

bool read_board(int board, LoadedProgram& loaded, std::ostream& messages) {
  const auto path = board_program_path(board);
  auto program = parse_board_program(read_board_file(path));
  if (!program) {
    messages << "cdmsim: cannot read the program of board " << board << " from " << path.generic_string() << "\n";
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

