#include "output_names.h"

#include <cctype>
#include <charconv>

namespace {

constexpr std::string_view kKeyword = "outputs:";

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool starts_name(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_'; }
bool continues_name(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }

std::string lower(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return result;
}

bool is_name(std::string_view text) {
  if (text.empty() || text.size() > kLongestOutputName || !starts_name(text[0])) return false;
  for (char c : text)
    if (!continues_name(c)) return false;
  return true;
}

bool is_number(std::string_view text, int& number) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

// A part of a line: where it starts (0-based) and its text.
struct Piece {
  std::size_t at = 0;
  std::string_view text;
};

Piece trimmed(std::string_view line, std::size_t from, std::size_t to) {
  while (from < to && is_blank(line[from])) ++from;
  while (to > from && is_blank(line[to - 1])) --to;
  return {from, line.substr(from, to - from)};
}

// Where "outputs:" starts in a line whose comment begins with it; npos
// for any other line.
std::size_t keyword_at(std::string_view line) {
  const std::size_t slash = line.find('/');
  if (slash == std::string_view::npos) return slash;
  std::size_t at = slash + 1;
  while (at < line.size() && is_blank(line[at])) ++at;
  return lower(line.substr(at, kKeyword.size())) == kKeyword ? at : std::string_view::npos;
}

// The line holds nothing but blanks and perhaps a comment.
bool is_blank_or_comment(std::string_view line) {
  for (char c : line) {
    if (c == '/') return true;
    if (!is_blank(c)) return false;
  }
  return true;
}

class Reader {
 public:
  explicit Reader(OutputNaming& naming) : naming_(naming) {}

  void read_line(std::string_view line, unsigned number) {
    line_ = line;
    number_ = number;
    const std::size_t keyword = keyword_at(line);
    if (!is_blank_or_comment(line)) top_ = false;
    if (keyword != std::string_view::npos && !top_) {
      warn({keyword, line.substr(keyword, kKeyword.size())},
           "an outputs: line names outputs only at the top of the file, above the first instruction; this one "
           "names none");
      return;
    }
    if (keyword == std::string_view::npos) return;
    for (std::size_t from = keyword + kKeyword.size(); from <= line.size();) {
      const std::size_t comma = std::min(line.find(',', from), line.size());
      read_entry(from, comma);
      from = comma + 1;
    }
  }

 private:
  void read_entry(std::size_t from, std::size_t to) {
    const Piece entry = trimmed(line_, from, to);
    const std::size_t equals = entry.text.find('=');
    const Piece number = trimmed(line_, entry.at, equals == std::string_view::npos ? entry.at : entry.at + equals);
    const Piece name = trimmed(line_, equals == std::string_view::npos ? entry.at : entry.at + equals + 1, to);
    int output = 0;
    if (entry.text.empty()) return;  // "0=a,,1=b" or a comma at the end
    if (equals == std::string_view::npos || !is_number(number.text, output))
      return warn(entry, "an outputs: entry is NUMBER=NAME, as 0=laser", likely_entry(entry.text));
    if (output < 0 || output >= kOutputCount)
      return warn(number, "output " + std::string(number.text) + " does not exist: outputs are 0 to 23");
    if (name.text.empty()) return warn(entry, "output " + std::string(number.text) + " is given no name");
    if (!is_name(name.text))
      return warn(name,
                  "'" + std::string(name.text) + "' is not a name: a letter or _, then letters, digits or _, at most " +
                      std::to_string(kLongestOutputName) + " characters");
    std::string& slot = naming_.names[static_cast<std::size_t>(output)];
    if (!slot.empty())
      return warn(number, "output " + std::to_string(output) + " is already named " + slot);
    const std::string taken = owner_of(name.text, output);
    if (!taken.empty()) return warn(name, std::string(name.text) + " is already " + taken);
    slot = std::string(name.text);
  }

  // Whose the name is already: "output 3's name"; empty when no one's.
  std::string owner_of(std::string_view name, int output) const {
    const std::string key = lower(name);
    if (key == "outputs") return "the name of the dump's variable of all outputs";
    for (int other = 0; other < kOutputCount; ++other) {
      if (other == output) continue;
      const std::string& given = naming_.names[static_cast<std::size_t>(other)];
      if (lower(given) == key || key == "out" + std::to_string(other))
        return "output " + std::to_string(other) + "'s name";
    }
    return {};
  }

  // NUMBER=NAME for an entry that has both but in another form: "7 trigger",
  // "7:trigger", "trigger=7".
  static std::string likely_entry(std::string_view entry) {
    std::size_t split = 0;
    while (split < entry.size() && continues_name(entry[split])) ++split;
    std::size_t rest = split;
    while (rest < entry.size() && (is_blank(entry[rest]) || entry[rest] == ':' || entry[rest] == '=')) ++rest;
    if (split == 0 || rest == split || rest == entry.size()) return {};
    const std::string_view first = entry.substr(0, split);
    const std::string_view second = entry.substr(rest);
    int number = 0;
    if (is_number(first, number) && is_name(second)) return std::string(first) + "=" + std::string(second);
    if (is_number(second, number) && is_name(first)) return std::string(second) + "=" + std::string(first);
    return {};
  }

  void warn(Piece piece, std::string message, std::string suggestion = {}) {
    Diagnostic d;
    d.severity = Severity::Warning;
    d.category = Category::OutputNames;
    d.line = number_;
    d.first_column = static_cast<unsigned>(piece.at + 1);
    d.last_column = static_cast<unsigned>(piece.at + std::max<std::size_t>(piece.text.size(), 1));
    d.message = std::move(message);
    d.suggestion = std::move(suggestion);
    naming_.warnings.push_back(std::move(d));
  }

  OutputNaming& naming_;
  std::string_view line_;
  unsigned number_ = 0;
  bool top_ = true;
};

}  // namespace

OutputNaming read_output_names(std::string_view source) {
  OutputNaming naming;
  Reader reader(naming);
  unsigned number = 1;
  for (std::size_t start = 0; start <= source.size(); ++number) {
    const std::size_t end = std::min(source.find('\n', start), source.size());
    reader.read_line(source.substr(start, end - start), number);
    start = end + 1;
  }
  return naming;
}
