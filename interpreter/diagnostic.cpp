#include "diagnostic.h"

#include <algorithm>

#include "instruction.h"
#include "time_units.h"
#include "upper_case.h"

namespace {

// Splits off the next line, without its line feed.
std::string_view take_line(std::string_view& text) {
  const std::size_t end = std::min(text.find('\n'), text.size());
  const std::string_view line = text.substr(0, end);
  text.remove_prefix(std::min(end + 1, text.size()));
  return line;
}

// Takes `start` off the front of `text` when `text` starts with it.
bool take_prefix(std::string_view& text, std::string_view start) {
  if (text.substr(0, start.size()) != start) return false;
  text.remove_prefix(start.size());
  return true;
}

// The report's line naming the error, and the detail line under it.
std::string with_detail(std::string_view first, std::string_view second) {
  return std::string(first) + "\n" + std::string(second);
}

// The unsigned number at the start of `text`, taken off it.
unsigned take_number(std::string_view& text) {
  unsigned number = 0;
  while (!text.empty() && text.front() >= '0' && text.front() <= '9') {
    number = number * 10 + static_cast<unsigned>(text.front() - '0');
    text.remove_prefix(1);
  }
  return number;
}

std::string_view without_period(std::string_view text) {
  if (!text.empty() && text.back() == '.') text.remove_suffix(1);
  return text;
}

// "Reading of tokens failed at Line L Column C." then the offending character.
bool reading_error(std::string_view first, std::string_view second, Diagnostic& d) {
  std::string_view position = first;
  if (!take_prefix(position, "Reading of tokens failed at Line ")) return false;
  d.line = take_number(position);
  take_prefix(position, " Column ");
  d.column = take_number(position);
  d.message = "unexpected character";
  d.report_text = std::string(first);
  std::string_view character = second;
  if (!take_prefix(character, "Offending character: ")) return true;
  d.message += " " + std::string(without_period(character));
  d.report_text = with_detail(first, second);
  return true;
}

// "<what> on line L starting at column C." then "Got X." or a hint.
bool statement_error(std::string_view first, std::string_view second, Diagnostic& d) {
  constexpr std::string_view kPosition = " on line ";
  const std::size_t at = first.rfind(kPosition);
  if (at == std::string_view::npos || first.find(" starting at column ", at) == std::string_view::npos) return false;
  std::string_view position = first.substr(at + kPosition.size());
  d.line = take_number(position);
  position.remove_prefix(std::string_view(" starting at column ").size());
  d.column = take_number(position);
  d.message = std::string(first.substr(0, at));
  d.report_text = second.empty() ? std::string(first) : with_detail(first, second);
  std::string_view got = second;
  if (take_prefix(got, "Got ")) d.message += "; got " + std::string(without_period(got));
  else if (!second.empty()) d.message += "; " + std::string(without_period(second));
  return true;
}

struct ValueError {
  std::string_view lead;    // up to " on line "
  std::string_view ending;  // after the line number
  Diagnostic::Unknown unknown;
  unsigned field;
  std::string_view word;  // the word blamed where the report quotes none
};

constexpr ValueError kValueErrors[] = {
    {"Output value", " is invalid.", Diagnostic::Unknown::Pattern, 0, {}},
    {"Time unit", " is invalid.", Diagnostic::Unknown::Unit, 1, {}},
    {"Command", " is invalid.", Diagnostic::Unknown::Command, 2, {}},
    {"Unknown label", ":", Diagnostic::Unknown::Label, 3, {}},
    {"END_LOOP without LOOP", ".", Diagnostic::Unknown::Nothing, 2, opcode_keyword(Opcode::EndLoop)},
};

// "<what> on line L is invalid." then a tab and the offending text.
bool value_error(std::string_view first, std::string_view second, Diagnostic& d) {
  for (const ValueError& error : kValueErrors) {
    std::string_view rest = first;
    if (!take_prefix(rest, error.lead) || !take_prefix(rest, " on line ")) continue;
    d.line = take_number(rest);
    if (rest != error.ending) continue;
    d.unknown = error.unknown;
    d.field = error.field;
    d.word = std::string(error.word);
    d.message = std::string(error.lead);
    d.report_text = std::string(first);
    if (error.unknown == Diagnostic::Unknown::Nothing) return true;
    std::string_view word = second;
    if (take_prefix(word, "\t")) {
      d.word = std::string(word);
      d.report_text = with_detail(first, second);
    }
    d.message += " " + d.word + (error.unknown == Diagnostic::Unknown::Label ? "" : " is invalid");
    return true;
  }
  return false;
}

// The edit distance of `a` and `b` when it is at most `limit`, else
// limit + 1. Only the cells within `limit` of the table's diagonal can be
// that close, so only they are computed, each counted in `cells`; a row
// with none within the limit ends it.
std::size_t bounded_edit_distance(std::string_view a, std::string_view b, std::size_t limit,
                                  std::uint64_t& cells) {
  const std::size_t over = limit + 1;
  if ((a.size() > b.size() ? a.size() - b.size() : b.size() - a.size()) > limit) return over;
  std::vector<std::size_t> row(b.size() + 1, over);
  for (std::size_t j = 0; j <= std::min(b.size(), limit); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    const std::size_t from = i > limit ? i - limit : 1;
    const std::size_t to = std::min(b.size(), i + limit);
    std::size_t diagonal = row[from - 1];
    row[from - 1] = from == 1 && i <= limit ? i : over;
    std::size_t row_best = row[from - 1];
    for (std::size_t j = from; j <= to; ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1), over});
      diagonal = above;
      row_best = std::min(row_best, row[j]);
    }
    cells += to + 1 - from;
    if (row_best > limit) return over;
  }
  return row[b.size()];
}

}  // namespace

std::optional<Diagnostic> first_error(std::string_view report) {
  while (!report.empty()) {
    const std::string_view first = take_line(report);
    std::string_view rest = report;
    const std::string_view second = take_line(rest);
    Diagnostic d;
    if (reading_error(first, second, d) || value_error(first, second, d) || statement_error(first, second, d))
      return d;
  }
  return std::nullopt;
}

unsigned word_column(std::string_view source_line, const Diagnostic& diagnostic) {
  const std::string line = upper_case(source_line.substr(0, std::min(source_line.find('/'), source_line.size())));
  // The fields start after the last label's colon.
  std::size_t start = 0;
  for (std::size_t colon = line.find(':'); colon != std::string::npos && colon < line.find(',');
       colon = line.find(':', colon + 1))
    start = colon + 1;
  for (unsigned field = diagnostic.field; field > 0; --field) {
    start = line.find(',', start);
    if (start == std::string::npos) return 0;
    ++start;
  }
  const std::size_t end = std::min(line.find(',', start), line.size());
  const std::size_t at = line.substr(start, end - start).find(diagnostic.word);
  return at == std::string::npos || diagnostic.word.empty() ? 0 : static_cast<unsigned>(start + at + 1);
}

std::string closest_word(std::string_view word, const std::vector<std::string>& known, std::uint64_t* work) {
  std::uint64_t cells = 0;
  std::string best;
  // A slip, not another word: a third of the word, and of a long word no
  // more than of one of kLongestSlipWord characters.
  std::size_t best_distance = std::max<std::size_t>(1, std::min(word.size(), kLongestSlipWord) / 3);
  for (const std::string& candidate : known) {
    const std::size_t distance = bounded_edit_distance(word, candidate, best_distance, cells);
    if (distance == 0 || distance > best_distance || (distance == best_distance && !best.empty())) continue;
    best = candidate;
    best_distance = distance;
  }
  if (work != nullptr) *work = cells;
  return best;
}

std::vector<std::string> known_words(Diagnostic::Unknown kind) {
  std::vector<std::string> words;
  if (kind == Diagnostic::Unknown::Command)
    for (const OpcodeKeyword& command : kOpcodeKeywords) words.emplace_back(command.keyword);
  if (kind == Diagnostic::Unknown::Unit)
    for (const TimeUnit& unit : kTimeUnits) words.emplace_back(unit.text);
  return words;
}
