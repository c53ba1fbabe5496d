#include "load_program.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <optional>
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

// Carriage returns other than those of CR LF line ends shown as \r, so that
// one quoted from a source never moves a terminal's cursor.
std::string escaped(std::string_view text) {
  std::string shown;
  for (const char c : text) {
    if (c == '\r') shown += "\\r";
    else shown += c;
  }
  return shown;
}

// The source's line `number` (1-based), without its line end; empty past
// the end.
std::string_view source_line(std::string_view text, unsigned number) {
  for (unsigned i = 1; i < number && !text.empty(); ++i) {
    const std::size_t line_feed = text.find('\n');
    text.remove_prefix(line_feed == std::string_view::npos ? text.size() : line_feed + 1);
  }
  std::string_view line = text.substr(0, text.find('\n'));
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// The caret line under `column`: the source's tabs are kept, so that the
// caret lands under the column however a terminal sets its tabs, and a
// carriage return takes the two columns of its \r.
std::string caret_under(std::string_view line, unsigned column) {
  std::string caret;
  for (unsigned i = 1; i < column; ++i) {
    const char c = i <= line.size() ? line[i - 1] : ' ';
    caret += c == '\t' ? "\t" : c == '\r' ? "  " : " ";
  }
  return caret + "^";
}

// The compile error as editors and terminals read it: FILE:LINE:COLUMN:
// error: what, then the line with a caret under the column, and a likely
// meaning for a word that names nothing. A report without a source error
// (the file could not be read) is shown as Load gives it.
void write_first_error(const std::string& file, std::string_view text, const std::string& report,
                       const std::vector<std::string>& labels, std::ostream& messages) {
  std::optional<Diagnostic> error = first_error(report);
  if (!error) {
    messages << report;
    return;
  }
  const std::string_view line = source_line(text, error->line);
  if (error->column == 0) error->column = word_column(line, *error);
  std::string message = error->message;
  const std::vector<std::string> known =
      error->unknown == Diagnostic::Unknown::Label ? labels : known_words(error->unknown);
  if (const std::string guess = closest_word(error->word, known); !guess.empty())
    message += "; did you mean " + guess + "?";
  messages << file << ":" << error->line << ":";
  if (error->column > 0) messages << error->column << ":";
  messages << " error: " << escaped(message) << "\n";
  messages << escaped(line) << "\n";
  if (error->column > 0) messages << caret_under(line, error->column) << "\n";
}

// Takes the program the interpreter wrote, when it wrote one.
bool keep(InterpreterResult result, MemoryBoard& board, LoadedProgram& loaded) {
  if (!result.programmed) return false;
  loaded.program = board.take_program();
  loaded.source_lines = std::move(result.source_lines);
  return true;
}

}  // namespace

bool compile(const SimOptions& options, LoadedProgram& loaded, std::ostream& messages) {
  std::string text;
  if (!read_program(options.file, text, messages)) return false;
  MemoryBoard board;
  InterpreterOptions run;
  run.clock_mhz = options.clock_mhz;
  run.listing = options.listing;
  run.board = &board;
  run.describe_program = true;
  // The listing, as long as the program, goes straight to the messages; a
  // report without it is a few lines, and names the same first error.
  if (options.listing) return keep(run_interpreter(ProgramSource::from_text(text), run, messages), board, loaded);
  std::ostringstream report;
  InterpreterResult result = run_interpreter(ProgramSource::from_text(text), run, report);
  if (!result.programmed) write_first_error(shown_path(options.file), text, report.str(), result.labels, messages);
  return keep(std::move(result), board, loaded);
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

