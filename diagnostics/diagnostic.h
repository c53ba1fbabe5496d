// Diagnostics as records: what the token reader, the parser, the value
// conversion, the timing checks and the simulator find, with its place in
// the source. Load's report prints a record's report text; cdmsim and the
// timing view show the records themselves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

enum class Severity { Error, Warning, Note };

// "error", "warning", "note".
std::string_view severity_name(Severity severity);

enum class Category {
  Syntax,
  Value,
  LoopWithoutEnd,
  Rounding,
  ShortestInstruction,
  Count,
  Target,
  Memory,
  Unreached,
  Runtime,
  OutputNames,
  Window,
};

struct CategoryInfo {
  Category category;
  std::string_view name;
  std::string_view description;  // one line
};

// Every category, in the order help texts list them.
inline constexpr CategoryInfo kCategories[] = {
    {Category::Syntax, "syntax", "a character or statement the language does not allow"},
    {Category::Value, "value", "a pattern, time unit, command or label that names nothing"},
    {Category::LoopWithoutEnd, "loop-without-end", "a LOOP without its END_LOOP, or an END_LOOP without a LOOP"},
    {Category::Rounding, "rounding", "a duration or dump time the clock or --timescale cannot give exactly, rounded"},
    {Category::ShortestInstruction, "shortest-instruction", "an instruction shorter than the board's shortest"},
    {Category::Count, "count", "a LOOP or LONG_DELAY count the board refuses or cannot keep"},
    {Category::Target, "target", "a BRANCH, JSR or END_LOOP that leads outside the program"},
    {Category::Memory, "memory", "a program longer than the board's memory"},
    {Category::Unreached, "unreached", "instructions a run did not reach"},
    {Category::Runtime, "runtime", "what stops a run: nesting too deep, a jump off the program, a bad count"},
    {Category::OutputNames, "output-names", "an outputs: comment line that names outputs wrongly or below the top"},
    {Category::Window, "window", "a --from past the end of the run the dump and the diagram show"},
};

std::string_view category_name(Category category);
// False when `name` is no category's name.
bool category_named(std::string_view name, Category& category);

// What kind of word a value that names nothing should have been, for the
// likely word a slip stands for.
enum class WordKind { Nothing, Pattern, Unit, Command, Label };

struct Diagnostic {
  Severity severity = Severity::Error;
  Category category = Category::Syntax;
  std::string file;  // empty until a program that knows the file names it
  unsigned line = 0;  // 1-based; 0 for none (a program read from a board)
  // 1-based, both included; 0 while only the field is known (see place_in_line).
  unsigned first_column = 0;
  unsigned last_column = 0;
  std::string message;     // one line
  std::string suggestion;  // the word likely meant; empty for none

  // For placing a record the interpreter knew only by its line: the word as
  // the program has it (upper case), its kind, and the comma-separated
  // field it stands in (0 the pattern, 1 the time, 2 the command, 3 its
  // data).
  std::string word;
  WordKind kind = WordKind::Nothing;
  unsigned field = 0;

  // The record in Load's words: whole report lines, each ending in a line
  // feed; empty for what Load never reports.
  std::string report_text;
};

// Writes the record's report text a line at a time, each flushed as every
// report line is.
void write_report_text(const Diagnostic& diagnostic, std::ostream& report);

// The lines of a source text by number, their starts found once.
class SourceLines {
 public:
  explicit SourceLines(std::string_view text);
  // Line `number` (1-based) without its line end, LF or CR LF; empty past
  // the end.
  std::string_view line(unsigned number) const;

 private:
  // Where every 64th line starts: a long source's index stays small, and a
  // line is found by skipping at most 63 others.
  static constexpr std::size_t kLinesPerStart = 64;
  std::string_view text_;
  std::vector<std::size_t> starts_;
};

// Fills in the columns of a record known only by its field and word, from
// its source line as written (letter case and blanks as the reader takes
// them): the word where it stands in its field, or the field's text when
// the word came from a variable or none is named. Fills in the suggestion
// for a word that names nothing; a label's candidates are `labels`.
void place_in_line(Diagnostic& diagnostic, std::string_view source_line, const std::vector<std::string>& labels);

// The known word closest to `word` by edit distance, when it is close
// enough to be a slip of the keyboard (two letters swapped count as one
// slip); empty otherwise. The work is about the word's length times a few
// dozen for each candidate of about its length, and nothing for the
// others; `work`, if given, receives it (the cells of the distance tables
// computed).
std::string closest_word(std::string_view word, const std::vector<std::string>& known,
                         std::uint64_t* work = nullptr);

// Words longer than this are allowed no more slips than a word this long.
inline constexpr std::size_t kLongestSlipWord = 64;

// The words a value of `kind` may be: commands or units (a label's
// candidates are the program's own labels).
std::vector<std::string> known_words(WordKind kind);
