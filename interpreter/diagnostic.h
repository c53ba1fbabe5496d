// A run's first error as one diagnostic, for programs that show it in the
// form editors jump to (FILE:LINE:COLUMN: error: ...) rather than as Load's
// report: read back from the report's own message forms, which this
// library writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct Diagnostic {
  unsigned line = 0;
  unsigned column = 0;  // 0 when the report names none
  std::string message;  // one line, in the report's words
  // For a value that names nothing known: the text as the program has it,
  // and what kind of word it should have been.
  std::string word;
  enum class Unknown { Nothing, Pattern, Unit, Command, Label } unknown = Unknown::Nothing;
  // The comma-separated field of the statement the word stands in: 0 the
  // pattern, 1 the time, 2 the command, 3 its data.
  unsigned field = 0;
  // The error as the report words it: its line, then the detail line under
  // it when there is one, as Load shows them.
  std::string report_text;
};

// The first error in `report`; none when it holds no error the source can
// be blamed for (a board that was not found, a file that did not open).
std::optional<Diagnostic> first_error(std::string_view report);

// Where `word` stands in a source line, 1-based, looked for in the field the
// diagnostic's kind lives in (letter case and blanks as the reader takes
// them); 0 when it is not there as written (it came from a variable).
unsigned word_column(std::string_view source_line, const Diagnostic& diagnostic);

// The known word closest to `word` by edit distance, when it is close
// enough to be a slip of the keyboard; empty otherwise. The work is about
// the word's length times a few dozen for each candidate of about its
// length, and nothing for the others; `work`, if given, receives it (the
// cells of the distance tables computed).
std::string closest_word(std::string_view word, const std::vector<std::string>& known,
                         std::uint64_t* work = nullptr);

// Words longer than this are allowed no more slips than a word this long.
inline constexpr std::size_t kLongestSlipWord = 64;

// The words a value of the diagnostic's kind may be: commands or units (a
// label's candidates are the program's own labels).
std::vector<std::string> known_words(Diagnostic::Unknown kind);
