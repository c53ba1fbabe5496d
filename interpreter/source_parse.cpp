#include "source_parse.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <future>
#include <locale>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <sys/types.h>

#include "parser.h"
#include "source_reader.h"
#include "token_reader.h"

// A source of every line parses the same wherever it is cut at a line feed,
// given three things from before the cut: the line number, the line feed's
// column (errors on the first line after it may quote it) and the variables
// declared so far. The first two are told by counting bytes; the third by
// reading only the lines that hold an equals sign, since in a source whose
// first stretch parses, a line is a declaration exactly when, after any
// labels, it starts with a variable and an equals sign. Where the first
// stretch does not parse, its own error is the report (or a reading error in
// the second, which is found without knowing any variable), so the guess
// never shows.

namespace {

constexpr std::uint64_t kSplitSize = 1 << 20;   // sources from this size on are split
// Where the cut is placed, in hundredths of the source: a little after the
// middle, since the second stretch's thread first reads the bytes before
// the cut (several times faster than parsing them).
constexpr std::uint64_t kCutPercent = 54;
constexpr std::uint64_t kWindowSize = 1 << 16;  // read each side of the cut to place it
// Longest line the look for declarations holds while it spans blocks; a
// source with a longer line before the cut is parsed in one stretch.
constexpr std::size_t kLongestHeldLine = 1 << 20;

// A regular file as it was when first looked at. A file is opened once for
// each stretch, and every opening must find the same one: a file replaced or
// rewritten meanwhile would otherwise give a program made of two.
struct FileStamp {
  // Both 0 on Windows, where stat has no inode and a path's drive and an
  // open file's device read differently.
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t modified_ns = 0;

  bool operator==(const FileStamp& other) const {
    return device == other.device && inode == other.inode && size == other.size && modified_ns == other.modified_ns;
  }
};

#ifdef _WIN32
using Status = struct _stat64;
bool status_of(const char* path, Status& status) { return _stat64(path, &status) == 0; }
bool status_of(std::FILE* file, Status& status) { return _fstat64(_fileno(file), &status) == 0; }
bool is_regular(const Status& status) { return (status.st_mode & _S_IFMT) == _S_IFREG; }
FileStamp stamp(const Status& status) {
  return FileStamp{0, 0, static_cast<std::uint64_t>(status.st_size), std::int64_t{status.st_mtime} * 1000000000};
}
#else
using Status = struct stat;
bool status_of(const char* path, Status& status) { return stat(path, &status) == 0; }
bool status_of(std::FILE* file, Status& status) { return fstat(fileno(file), &status) == 0; }
bool is_regular(const Status& status) { return S_ISREG(status.st_mode); }
FileStamp stamp(const Status& status) {
  return FileStamp{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
                   static_cast<std::uint64_t>(status.st_size),
                   std::int64_t{status.st_mtim.tv_sec} * 1000000000 + status.st_mtim.tv_nsec};
}
#endif

// The stamp of a regular file, by path or open; none for anything else.
template <typename Where>
std::optional<FileStamp> stamp_of(Where where) {
  Status status;
  if (!status_of(where, status) || !is_regular(status)) return std::nullopt;
  return stamp(status);
}

// Where the second stretch starts: just after a line feed, and that line
// feed's column as the token reader counts it; and the file cut, if any.
struct Split {
  std::uint64_t begin = 0;
  unsigned column = 0;
  std::optional<FileStamp> file;
};

// The raw bytes of the source around a cut, from byte `offset` on.
struct Window {
  std::uint64_t offset = 0;
  std::string_view bytes;
  std::string storage;  // a file's bytes
  std::optional<FileStamp> file;
};

std::optional<Window> read_window(const ProgramSource& source, std::uint64_t around) {
  Window window;
  window.offset = around - std::min(around, kWindowSize);
  if (source.path == nullptr) {
    if (around >= source.text.size()) return std::nullopt;
    window.bytes = source.text.substr(window.offset, around + kWindowSize - window.offset);
    return window;
  }
  window.file = stamp_of(source.path);
  if (!window.file) return std::nullopt;
  std::FILE* file = std::fopen(source.path, "rb");
  if (file == nullptr) return std::nullopt;
  // A file other than the one stamped leaves the window empty: no cut.
  window.storage.resize(2 * kWindowSize);
  std::size_t got = 0;
  if (stamp_of(file) == window.file && seek_file(file, window.offset))
    got = std::fread(window.storage.data(), 1, window.storage.size(), file);
  std::fclose(file);
  window.storage.resize(got);
  window.bytes = window.storage;
  return window;
}

// The cut just after the first line feed at or after byte `from`, when the
// window shows where its line starts and something follows it.
std::optional<Split> place_split(const Window& window, std::uint64_t from) {
  const std::string_view bytes = window.bytes;
  const std::size_t line_feed = bytes.find('\n', static_cast<std::size_t>(from - window.offset));
  if (line_feed == std::string_view::npos || line_feed + 1 >= bytes.size()) return std::nullopt;
  const std::size_t before = line_feed == 0 ? std::string_view::npos : bytes.rfind('\n', line_feed - 1);
  std::size_t line_start = before + 1;
  if (before == std::string_view::npos) {
    if (window.offset != 0) return std::nullopt;
    line_start = byte_order_mark_length(bytes);
    if (line_feed < line_start) return std::nullopt;
  }
  // A carriage return just before the line feed is read as part of it.
  const bool folded = line_feed > line_start && bytes[line_feed - 1] == '\r';
  return Split{window.offset + line_feed + 1, static_cast<unsigned>(line_feed - line_start + 1 - folded),
               window.file};
}

// The stretch [begin, end) of the source, for a reader that is not open yet;
// from a file, only when it is still the file `expected` stamps (if given).
bool open_stretch(const ProgramSource& source, std::uint64_t begin, std::uint64_t end,
                  std::optional<SourceReader>& reader, const std::optional<FileStamp>& expected) {
  if (source.path != nullptr) {
    reader.emplace();
    return reader->open(source.path, begin, end) && (!expected || stamp_of(reader->file()) == expected);
  }
  const std::size_t size = source.text.size();
  const auto first = static_cast<std::size_t>(std::min<std::uint64_t>(begin, size));
  const auto last = static_cast<std::size_t>(std::min<std::uint64_t>(end, size));
  reader.emplace(source.text.substr(first, last - first), begin == 0);
  return true;
}

// Adds the declaration `line` makes, if it makes one, to `declarations`.
void read_declaration(std::string_view line, std::vector<std::pair<std::string, std::string>>& declarations) {
  SourceReader reader(line, false);
  TokenReader tokens(reader);
  SourceToken token;
  std::string text;
  const auto next = [&] { return tokens.next(token, text); };
  if (!next()) return;
  while (token.kind == TokenKind::Word) {  // a label
    if (!next() || token.kind != TokenKind::Colon || !next()) return;
  }
  if (token.kind != TokenKind::Variable) return;
  std::string name(token.text);
  if (!next() || token.kind != TokenKind::Equals || !next()) return;
  if (token.kind != TokenKind::Word && token.kind != TokenKind::Number) return;
  declarations.emplace_back(std::move(name), std::string(token.text));
}

// Reads the stretch before the cut: counts its lines and collects its
// declarations. False when a line too long to hold stands in the way.
bool read_what_comes_before(SourceReader& reader, unsigned& lines, StretchStart& start) {
  lines = 0;
  std::string held;  // the line begun in an earlier block
  for (std::string_view block = reader.next_block(); !block.empty(); block = reader.next_block()) {
    lines += static_cast<unsigned>(std::count(block.begin(), block.end(), '\n'));
    const std::size_t first = block.find('\n');
    if (first == std::string_view::npos) {
      held.append(block);
      if (held.size() > kLongestHeldLine) return false;
      continue;
    }
    const std::size_t rest = first + 1;
    held.append(block.substr(0, rest));
    if (held.find('=') != std::string::npos) read_declaration(held, start.variables);
    // The lines that lie wholly in this block.
    const std::string_view whole = block.substr(rest, block.rfind('\n') + 1 - rest);
    for (std::size_t equals = whole.find('='); equals != std::string_view::npos; equals = whole.find('=', equals)) {
      const std::size_t line_feed = whole.rfind('\n', equals);
      const std::size_t begin = line_feed == std::string_view::npos ? 0 : line_feed + 1;
      const std::size_t end = whole.find('\n', equals) + 1;
      read_declaration(whole.substr(begin, end - begin), start.variables);
      equals = end;
    }
    held.assign(block.substr(rest + whole.size()));
  }
  if (held.find('=') != std::string::npos) read_declaration(held, start.variables);
  return true;
}

// A stretch of the source, parsed with its report held back.
struct Stretch {
  explicit Stretch(const std::locale& locale) { held_report.imbue(locale); }

  // Parses the bytes [begin, until) of the source, which start on line
  // `first_line` after what `start` tells; false when they cannot be read
  // (from a file, as the file `file` stamps, if given).
  bool parse(const ProgramSource& source, std::uint64_t begin, std::uint64_t until, const StretchStart& start,
             unsigned first_line, const std::optional<FileStamp>& file) {
    std::optional<SourceReader> reader;
    if (!open_stretch(source, begin, until, reader, file)) return false;
    TokenReader tokens(*reader, first_line);
    end = parse_stretch(tokens, start, model, held_report);
    return true;
  }

  ProgramModel model;
  std::ostringstream held_report;
  StretchEnd end = StretchEnd::Parsed;
};

bool parse_second(const ProgramSource& source, const Split& split, Stretch& stretch) {
  std::optional<SourceReader> before;
  unsigned lines = 0;
  StretchStart start;
  if (!open_stretch(source, 0, split.begin, before, split.file) || !read_what_comes_before(*before, lines, start))
    return false;
  before.reset();
  start.before = SourceToken{TokenKind::EndOfLine, "\n", lines, split.column};
  return stretch.parse(source, split.begin, SourceReader::kToTheEnd, start, lines + 1, split.file);
}

// The model of the whole source from the models of its two stretches. The
// second stretch's variables are the whole source's: it took over the first
// one's declarations.
void join(ProgramModel& first, ProgramModel& second, ProgramModel& model) {
  model = std::move(first);
  const int offset = static_cast<int>(model.lines.size());
  model.lines.append(std::move(second.lines));
  model.labels.reserve(model.labels.size() + second.labels.size());
  for (LabelEntry label : second.labels) {
    label.index += offset;
    model.labels.push_back(label);
  }
  model.variables = std::move(second.variables);
  model.texts.append(std::move(second.texts));
}

// Writes the stretch's held report line by line, each line flushed as the
// report always is.
SourceParse report_failure(const Stretch& stretch, std::ostream& report) {
  const std::string text = stretch.held_report.str();
  std::size_t begin = 0;
  for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', begin)) {
    report.write(text.data() + begin, static_cast<std::streamsize>(end + 1 - begin));
    report.flush();
    begin = end + 1;
  }
  return SourceParse::Failed;
}

SourceParse parse_whole(const ProgramSource& source, ProgramModel& model, std::ostream& report) {
  Stretch whole(report.getloc());
  if (!whole.parse(source, 0, SourceReader::kToTheEnd, StretchStart{}, 1, std::nullopt))
    return SourceParse::Unreadable;
  if (whole.end != StretchEnd::Parsed) return report_failure(whole, report);
  model = std::move(whole.model);
  return SourceParse::Parsed;
}

// Parses the source in one stretch where it has no cut, else in two. The
// first stretch's failure comes first in the source, except that a reading
// error anywhere wins over a statement error.
SourceParse parse_cut(const ProgramSource& source, const std::optional<Split>& split, ProgramModel& model,
                      std::ostream& report, bool& cut) {
  cut = false;
  if (!split) return parse_whole(source, model, report);
  Stretch first(report.getloc());
  Stretch second(report.getloc());
  // The second stretch's future waits for its thread however this ends,
  // and hands on whatever the thread threw.
  std::future<bool> second_parsed;
  try {
    second_parsed = std::async(std::launch::async, [&] { return parse_second(source, *split, second); });
  } catch (const std::system_error&) {
    return parse_whole(source, model, report);
  }
  const bool first_parsed = first.parse(source, 0, split->begin, StretchStart{}, 1, split->file);
  if (!second_parsed.get() || !first_parsed) return parse_whole(source, model, report);
  cut = true;
  if (first.end == StretchEnd::ReadingError) return report_failure(first, report);
  if (first.end == StretchEnd::StatementError)
    return report_failure(second.end == StretchEnd::ReadingError ? second : first, report);
  if (second.end != StretchEnd::Parsed) return report_failure(second, report);
  join(first.model, second.model, model);
  return SourceParse::Parsed;
}

// The size of a source that can be read more than once: text in memory or a
// regular file. Anything else (a pipe, a terminal) is 0, and so read once:
// even opening a named pipe an extra time could lose its writer.
std::uint64_t source_size(const ProgramSource& source) {
  if (source.path == nullptr) return source.text.size();
  const std::optional<FileStamp> file = stamp_of(source.path);
  return file ? file->size : 0;
}

std::optional<Split> find_cut(const ProgramSource& source, std::uint64_t from) {
  const std::optional<Window> window = read_window(source, from);
  return window ? place_split(*window, from) : std::nullopt;
}

std::optional<Split> planned_split(const ProgramSource& source) {
  const std::uint64_t size = source_size(source);
  if (size < kSplitSize) return std::nullopt;
  return find_cut(source, size / 100 * kCutPercent);
}

}  // namespace

SourceParse parse_source(const ProgramSource& source, ProgramModel& model, std::ostream& report) {
  bool cut = false;
  return parse_cut(source, planned_split(source), model, report, cut);
}

std::uint64_t planned_cut(const ProgramSource& source) {
  const std::optional<Split> split = planned_split(source);
  return split ? split->begin : 0;
}

SourceParse parse_source_cut_after(const ProgramSource& source, std::uint64_t line_feed, ProgramModel& model,
                                   std::ostream& report, bool& cut) {
  return parse_cut(source, find_cut(source, line_feed), model, report, cut);
}
