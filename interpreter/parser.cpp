#include "parser.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <string_view>
#include <sstream>
#include <string>
#include <unordered_map>

#include "language_tables.h"
#include "token_reader.h"

namespace {

// What an error quotes as the token before the first one of the source.
const SourceToken kStartOfFile{TokenKind::EndOfLine, "Start of File", 1, 1};

bool is_line_end(const SourceToken& token) {
  return token.kind == TokenKind::EndOfLine || token.kind == TokenKind::EndOfFile;
}

bool takes_label(std::string_view command) {
  for (std::string_view label_command : kLabelCommands)
    if (command == label_command) return true;
  return false;
}

bool is_time_character(char c) { return (c >= '0' && c <= '9') || c == '.'; }

// Length of the leading run of digits and points.
std::size_t time_length(std::string_view field) {
  std::size_t length = 0;
  while (length < field.size() && is_time_character(field[length])) ++length;
  return length;
}

// Walks the tokens with a cursor i over token indexes, reading them from the
// token reader as it needs them. The tokens it may still look at (the one
// before i and those from i on) are held in a small window, where
// substitution and the time split change them in place; each place of the
// window keeps the text of its token.
class Parser {
 public:
  Parser(TokenReader& tokens, ProgramModel& model, std::ostream& report)
      : tokens_(tokens), model_(model), report_(report) {}

  bool parse() {
    while (!past_end_of_file_) {
      if (at_label()) {
        add_label();
        continue;
      }
      if (!parse_statement() || !parse_line_end()) return false;
    }
    return true;
  }

  // True once the token reader has failed; the parse then ends as at the
  // end of the file.
  bool reading_failed() const { return reading_failed_; }

 private:
  // A statement reaches at most eight tokens past the one before the
  // cursor, so a ring this size never overwrites a token still in use.
  static constexpr std::size_t kWindowSize = 16;

  struct WindowEntry {
    SourceToken token;
    std::string text;  // the token's own text, when it has one
  };

  WindowEntry& entry(std::size_t index) { return window_[index % kWindowSize]; }

  // The token `offset` places after the cursor; past the end, the last one
  // (the EndOfFile token).
  SourceToken& at(std::size_t offset) {
    const std::size_t index = i_ + offset;
    while (window_end_ <= index && !read_all_) read_next();
    return entry(std::min(index, window_end_ - 1)).token;
  }

  void read_next() {
    assert(window_end_ + 1 < i_ + kWindowSize);
    WindowEntry& next = entry(window_end_++);
    if (!tokens_.next(next.token, next.text)) {
      reading_failed_ = true;
      next.token = SourceToken{TokenKind::EndOfFile, {}, 0, 0};
    }
    read_all_ = next.token.kind == TokenKind::EndOfFile;
  }

  // Error 11 quotes the token before the cursor, which the window keeps.
  const SourceToken& token_before_cursor() {
    if (i_ == 0) return kStartOfFile;
    return entry(i_ - 1).token;
  }

  bool at_label() { return at(0).kind == TokenKind::Word && at(1).kind == TokenKind::Colon; }

  void add_label() {
    model_.labels.push_back(LabelEntry{model_.texts.copy(at(0).text), static_cast<int>(model_.lines.size())});
    i_ += 2;
  }

  bool parse_statement() {
    switch (at(0).kind) {
      case TokenKind::Word:
        return parse_stop();
      case TokenKind::Variable:
        return at(1).kind == TokenKind::Equals ? parse_declaration() : parse_instruction();
      case TokenKind::Number:
        return parse_instruction();
      default:
        return true;  // an empty statement; the line end check judges what stands here
    }
  }

  bool parse_stop() {
    const SourceToken& word = at(0);
    if (word.text != kStopWord || !is_line_end(at(1))) return not_a_pattern(word);
    ProgramLine line = kStopStatement;
    line.line = word.line;
    model_.lines.push_back(line);
    ++i_;
    return true;
  }

  bool parse_declaration() {
    const SourceToken& name = at(0);
    const SourceToken& equals = at(1);
    const SourceToken& value = at(2);
    if (value.kind != TokenKind::Word && value.kind != TokenKind::Number)
      return expecting("value", equals, value);
    declare(name.text, value.text);
    i_ += 3;
    return true;
  }

  bool parse_instruction() {
    ProgramLine line;
    SourceToken& pattern = at(0);
    if (!substitute(pattern, TokenKind::Number)) return false;
    line.pattern = pattern.text;
    line.line = pattern.line;
    if (at(1).kind != TokenKind::Comma) {
      expecting("comma", pattern, at(1));
      report_ << "Check for bad output pattern." << std::endl;
      return false;
    }
    if (!parse_time(line)) return false;
    i_ += 3;
    line.command = kDefaultCommand;
    line.data = kDefaultData;
    if (at(0).kind == TokenKind::Comma && !parse_command(line)) return false;
    model_.lines.push_back(line);
    return true;
  }

  // The time field splits into its number and its units; the token keeps
  // only the units.
  bool parse_time(ProgramLine& line) {
    const SourceToken& comma = at(1);
    SourceToken& time = at(2);
    if (!substitute(time, TokenKind::Number)) return false;
    if (time.kind != TokenKind::Number) return expecting("time field", comma, time);
    const std::size_t split = time_length(time.text);
    line.time = time.text.substr(0, split);
    line.units = time.text.substr(split);
    time.text = line.units;
    if (line.units.empty()) return expecting("time units", line.time, time, line.units);
    return true;
  }

  // The cursor is on the comma before the command.
  bool parse_command(ProgramLine& line) {
    const SourceToken& comma = at(0);
    SourceToken& command = at(1);
    if (!substitute(command, TokenKind::Word)) return false;
    if (command.kind != TokenKind::Word) return expecting("command", comma, command);
    line.command = command.text;
    i_ += 2;
    if (takes_label(line.command)) return parse_label_operand(command, line);
    return parse_data(line);
  }

  bool parse_label_operand(const SourceToken& command, ProgramLine& line) {
    const SourceToken& comma = at(0);
    if (comma.kind != TokenKind::Comma) return expecting("comma", command, comma);
    SourceToken& label = at(1);
    if (!substitute(label, TokenKind::Word)) return false;
    if (label.kind != TokenKind::Word) return expecting("label", comma, label);
    line.data = label.text;
    i_ += 2;
    return true;
  }

  // Data is optional; when its comma is there, any token but a line end is
  // taken as it stands.
  bool parse_data(ProgramLine& line) {
    const SourceToken& comma = at(0);
    if (comma.kind != TokenKind::Comma) return true;
    SourceToken& data = at(1);
    if (is_line_end(data)) return expecting("data", comma, data);
    if (!substitute(data, TokenKind::Number)) return false;
    line.data = data.text;
    i_ += 2;
    return true;
  }

  bool parse_line_end() {
    const SourceToken& end = at(0);
    if (!is_line_end(end)) return expecting("end of line", token_before_cursor(), end);
    past_end_of_file_ = end.kind == TokenKind::EndOfFile;
    ++i_;
    return true;
  }

  // Names and values outlive the tokens, so the model keeps copies.
  void declare(std::string_view name, std::string_view value) {
    const std::string_view kept_value = model_.texts.copy(value);
    const auto position = variable_positions_.find(name);
    if (position != variable_positions_.end()) {
      model_.variables[position->second].value = kept_value;
      return;
    }
    const std::string_view kept_name = model_.texts.copy(name);
    variable_positions_.emplace(kept_name, model_.variables.size());
    model_.variables.push_back(VariableEntry{kept_name, kept_value});
  }

  // A variable token takes its value and the kind its place asks for,
  // whatever the value looks like.
  bool substitute(SourceToken& token, TokenKind kind) {
    if (token.kind != TokenKind::Variable) return true;
    const auto position = variable_positions_.find(token.text);
    if (position == variable_positions_.end()) return unknown_variable(token);
    token.text = model_.variables[position->second].value;
    token.kind = kind;
    return true;
  }

  void write_first_line(std::string_view lead_in, const SourceToken& position) {
    report_ << lead_in << " on line " << position.line << " starting at column " << position.column
            << "." << std::endl;
  }

  bool expecting(std::string_view what, std::string_view after_text, const SourceToken& position,
                 std::string_view got_text) {
    report_ << "Expecting " << what << " after " << token_display_text(after_text);
    write_first_line("", position);
    report_ << "Got " << token_display_text(got_text) << "." << std::endl;
    return false;
  }

  bool expecting(std::string_view what, const SourceToken& after, const SourceToken& got) {
    return expecting(what, after.text, after, got.text);
  }

  bool not_a_pattern(const SourceToken& word) {
    write_first_line("Expecting output pattern", word);
    report_ << "Got " << token_display_text(word.text) << "." << std::endl;
    if (word.text == kStopWord) report_ << "STOP should be followed by End of Line." << std::endl;
    return false;
  }

  bool unknown_variable(const SourceToken& variable) {
    report_ << "Unknown variable " << token_display_text(variable.text);
    write_first_line("", variable);
    report_ << "Variables must be declared beforehand." << std::endl;
    return false;
  }

  TokenReader& tokens_;
  std::array<WindowEntry, kWindowSize> window_{};
  std::size_t window_end_ = 0;    // one past the index of the newest token read
  bool read_all_ = false;         // the EndOfFile token is in the window
  bool past_end_of_file_ = false;
  bool reading_failed_ = false;
  ProgramModel& model_;
  std::ostream& report_;
  std::size_t i_ = 0;  // the cursor
  std::unordered_map<std::string_view, std::size_t> variable_positions_;
};


// Writes a report held back, line by line, each line flushed as the report
// always is.
void write_lines(const std::string& text, std::ostream& report) {
  std::size_t begin = 0;
  for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', begin)) {
    report.write(text.data() + begin, static_cast<std::streamsize>(end + 1 - begin));
    report.flush();
    begin = end + 1;
  }
}

// Reads the rest of the tokens; false when one cannot be read.
bool read_to_end(TokenReader& tokens) {
  SourceToken token;
  std::string text;
  do {
    if (!tokens.next(token, text)) return false;
  } while (token.kind != TokenKind::EndOfFile);
  return true;
}

}  // namespace

bool parse_program(TokenReader& tokens, ProgramModel& model, std::ostream& report) {
  model = ProgramModel{};
  // A reading error anywhere in the source is the one reported, even after
  // a statement error earlier on, so a statement error waits until the rest
  // of the source has been read.
  std::ostringstream statement_error;
  statement_error.imbue(report.getloc());
  Parser parser(tokens, model, statement_error);
  const bool parsed = parser.parse();
  if (parsed && !parser.reading_failed()) return true;
  model = ProgramModel{};
  if (parser.reading_failed() || !read_to_end(tokens)) {
    tokens.write_error(report);
    return false;
  }
  write_lines(statement_error.str(), report);
  return false;
}
