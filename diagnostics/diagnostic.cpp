#include "diagnostic.h"

#include <algorithm>

#include "instruction.h"
#include "time_units.h"
#include "upper_case.h"

namespace {

// The edit distance of `a` and `b`, two neighbours swapped counting as one
// edit, when it is at most `limit`, else limit + 1. Only the cells within
// `limit` of the table's diagonal can be that close, so only they are
// computed, each counted in `cells`; a row with none within the limit ends
// it.
std::size_t bounded_edit_distance(std::string_view a, std::string_view b, std::size_t limit,
                                  std::uint64_t& cells) {
  const std::size_t over = limit + 1;
  if ((a.size() > b.size() ? a.size() - b.size() : b.size() - a.size()) > limit) return over;
  std::vector<std::size_t> before(b.size() + 1, over);  // the row above `above`
  std::vector<std::size_t> above(b.size() + 1, over);
  std::vector<std::size_t> row(b.size() + 1, over);
  for (std::size_t j = 0; j <= std::min(b.size(), limit); ++j) above[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    const std::size_t from = i > limit ? i - limit : 1;
    const std::size_t to = std::min(b.size(), i + limit);
    std::fill(row.begin() + static_cast<std::ptrdiff_t>(from - 1),
              row.begin() + static_cast<std::ptrdiff_t>(std::min(b.size(), to + 1) + 1), over);
    row[from - 1] = from == 1 && i <= limit ? i : over;
    std::size_t row_best = row[from - 1];
    for (std::size_t j = from; j <= to; ++j) {
      std::size_t best = std::min({above[j] + 1, row[j - 1] + 1, above[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1), over});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) best = std::min(best, before[j - 2] + 1);
      row[j] = best;
      row_best = std::min(row_best, best);
    }
    cells += to + 1 - from;
    if (row_best > limit) return over;
    std::swap(before, above);
    std::swap(above, row);
  }
  return above[b.size()];
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// A unit written the long way, USEC or MSEC, is the unit before its "EC".
std::string long_unit(std::string_view word) {
  constexpr std::string_view kLong = "EC";
  if (word.size() <= kLong.size() || word.substr(word.size() - kLong.size()) != kLong) return {};
  const std::string_view unit = word.substr(0, word.size() - kLong.size());
  for (const TimeUnit& known : kTimeUnits)
    if (known.text == unit) return std::string(unit);
  return {};
}

}  // namespace

std::string_view severity_name(Severity severity) {
  switch (severity) {
    case Severity::Error:
      return "error";
    case Severity::Warning:
      return "warning";
    case Severity::Note:
      return "note";
  }
  return {};
}

std::string_view category_name(Category category) {
  for (const CategoryInfo& info : kCategories)
    if (info.category == category) return info.name;
  return {};
}

bool category_named(std::string_view name, Category& category) {
  for (const CategoryInfo& info : kCategories) {
    if (info.name != name) continue;
    category = info.category;
    return true;
  }
  return false;
}

void write_report_text(const Diagnostic& diagnostic, std::ostream& report) {
  const std::string& text = diagnostic.report_text;
  for (std::size_t begin = 0, end = text.find('\n'); end != std::string::npos;
       begin = end + 1, end = text.find('\n', begin)) {
    report.write(text.data() + begin, static_cast<std::streamsize>(end + 1 - begin));
    report.flush();
  }
}

SourceLines::SourceLines(std::string_view text) : text_(text) {
  std::size_t line = 0;
  for (std::size_t at = 0;; ++at) {
    if (line++ % kLinesPerStart == 0) starts_.push_back(at);
    at = text.find('\n', at);
    if (at == std::string_view::npos) break;
  }
}

std::string_view SourceLines::line(unsigned number) const {
  const std::size_t index = number == 0 ? starts_.size() : (number - 1) / kLinesPerStart;
  if (index >= starts_.size()) return {};
  std::string_view rest = text_.substr(starts_[index]);
  for (std::size_t skip = (number - 1) % kLinesPerStart; skip > 0; --skip) {
    const std::size_t line_feed = rest.find('\n');
    if (line_feed == std::string_view::npos) return {};
    rest.remove_prefix(line_feed + 1);
  }
  std::string_view line = rest.substr(0, rest.find('\n'));
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

void place_in_line(Diagnostic& d, std::string_view source_line, const std::vector<std::string>& labels) {
  if (d.first_column == 0) {
    const std::string line =
        upper_case(source_line.substr(0, std::min(source_line.find('/'), source_line.size())));
    // The fields start after the last label's colon.
    std::size_t start = 0;
    for (std::size_t colon = line.find(':'); colon != std::string::npos && colon < line.find(',');
         colon = line.find(':', colon + 1))
      start = colon + 1;
    for (unsigned field = d.field; field > 0 && start <= line.size(); --field)
      start = std::min(line.find(',', start), line.size()) + 1;
    start = std::min(start, line.size());
    std::size_t end = std::min(line.find(',', start), line.size());
    while (start < end && is_blank(line[start])) ++start;
    while (end > start && is_blank(line[end - 1])) --end;
    const std::size_t at = d.word.empty() ? std::string::npos : line.substr(start, end - start).find(d.word);
    if (at != std::string::npos) {
      start += at;
      end = start + d.word.size();
    }
    d.first_column = static_cast<unsigned>(start + 1);
    d.last_column = static_cast<unsigned>(std::max(end, start + 1));
  }
  if (!d.suggestion.empty() || d.kind == WordKind::Nothing || d.word.empty()) return;
  if (d.kind == WordKind::Unit) d.suggestion = long_unit(d.word);
  if (d.suggestion.empty()) d.suggestion = closest_word(d.word, d.kind == WordKind::Label ? labels : known_words(d.kind));
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

std::vector<std::string> known_words(WordKind kind) {
  std::vector<std::string> words;
  if (kind == WordKind::Command)
    for (const OpcodeKeyword& command : kOpcodeKeywords) words.emplace_back(command.keyword);
  if (kind == WordKind::Unit)
    for (const TimeUnit& unit : kTimeUnits) words.emplace_back(unit.text);
  return words;
}
