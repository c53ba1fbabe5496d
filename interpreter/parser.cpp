#include "parser.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <sstream>
#include <string>
#include <unordered_map>

#include "language_tables.h"
#include "token_reader.h"

namespace {

bool is_line_end(const SourceToken& token) {
  return token.kind == TokenKind::EndOfLine || token.kind == TokenKind::EndOfFile;
}

bool takes_label(std::string_view command) {
  return std::find(std::begin(kLabelCommands), std::end(kLabelCommands), command) != std::end(kLabelCommands);
}

bool is_time_character(char c) { return (c >= '0' && c <= '9') || c == '.'; }

// Length of the leading run of digits and points.
std::size_t time_length(std::string_view field) {
  std::size_t length = 0;
  while (length < field.size() && is_time_character(field[length])) ++length;
  return length;
}

// Reads the statements of the source with one token of look-back and a
// little look-ahead, as a recursive-descent parser does: current() is the
// token being looked at, previous() the one taken last, peek() the next,
// advance() takes the current one and expect() takes it when it is of the
// kind wanted, or reports what was wanted instead. Substitution and the
// time split change tokens in place.
class Parser {
 public:
  Parser(TokenReader& tokens, ProgramModel& model, std::ostream& report)
      : tokens_(tokens), model_(model), report_(report) {
    read(current_);
  }

  bool parse() {
    for (;;) {
      if (check(TokenKind::Word) && peek().kind == TokenKind::Colon) {
        add_label();
        continue;
      }
      if (!parse_statement() || !parse_line_end()) return false;
      if (previous().kind == TokenKind::EndOfFile) return true;
    }
  }

  // True once the token reader has failed; the parse then ends as at the
  // end of the file.
  bool reading_failed() const { return reading_failed_; }

 private:
  SourceToken& current() { return current_; }
  SourceToken& peek() {
    if (!peeked_) read(next_);
    peeked_ = true;
    return next_;
  }
  SourceToken& previous() { return previous_; }
  void advance() {
    previous_ = current_;
    if (peeked_) current_ = next_;
    else read(current_);
    peeked_ = false;
  }
  bool check(TokenKind kind) { return current().kind == kind; }

  // Takes the current token when it is of `kind`; otherwise reports that
  // `what` was expected after the previous one.
  bool expect(TokenKind kind, std::string_view what) {
    if (!check(kind)) return expecting(what, previous(), current());
    advance();
    return true;
  }

  // After the end of the file the reader gives its EndOfFile token again,
  // and after a reading error an EndOfFile token stands in for the rest.
  void read(SourceToken& token) {
    if (tokens_.next(token)) return;
    reading_failed_ = true;
    token = SourceToken{TokenKind::EndOfFile, {}, 0, 0};
  }

  void add_label() {
    model_.labels.push_back(LabelEntry{model_.texts.copy(current().text), static_cast<int>(model_.lines.size())});
    advance();  // the name
    advance();  // its colon
  }

  bool parse_statement() {
    switch (current().kind) {
      case TokenKind::Word:
        return parse_stop();
      case TokenKind::Variable:
        return peek().kind == TokenKind::Equals ? parse_declaration() : parse_instruction();
      case TokenKind::Number:
        return parse_instruction();
      default:
        return true;  // an empty statement; the line end check judges what stands here
    }
  }

  bool parse_stop() {
    const SourceToken& word = current();
    if (word.text != kStopWord || !is_line_end(peek())) return not_a_pattern(word);
    ProgramLine line = kStopStatement;
    line.line = word.line;
    model_.lines.push_back(line);
    advance();
    return true;
  }

  bool parse_declaration() {
    const SourceToken name = current();
    advance();  // the name
    advance();  // the equals sign
    if (!check(TokenKind::Word) && !check(TokenKind::Number)) return expecting("value", previous(), current());
    declare(name.text, current().text);
    advance();
    return true;
  }

  bool parse_instruction() {
    ProgramLine line;
    SourceToken& pattern = current();
    if (!substitute(pattern, TokenKind::Number)) return false;
    line.pattern = pattern.text;
    line.line = pattern.line;
    advance();
    if (!expect(TokenKind::Comma, "comma")) {
      report_ << "Check for bad output pattern." << std::endl;
      return false;
    }
    if (!parse_time(line)) return false;
    if (check(TokenKind::Comma) && !parse_command(line)) return false;
    model_.lines.push_back(line);
    return true;
  }

  // The time field splits into its number and its units; the token keeps
  // only the units.
  bool parse_time(ProgramLine& line) {
    if (!substitute(current(), TokenKind::Number) || !expect(TokenKind::Number, "time field")) return false;
    SourceToken& time = previous();
    const std::size_t split = time_length(time.text);
    line.time = time.text.substr(0, split);
    line.units = time.text.substr(split);
    time.text = line.units;
    if (line.units.empty()) return expecting("time units", line.time, time, line.units);
    return true;
  }

  // The current token is the comma before the command. A command that
  // takes a label must have one, after a comma of its own.
  bool parse_command(ProgramLine& line) {
    advance();
    if (!substitute(current(), TokenKind::Word) || !expect(TokenKind::Word, "command")) return false;
    line.command = previous().text;
    if (!takes_label(line.command)) return parse_data(line);
    if (!expect(TokenKind::Comma, "comma")) return false;
    if (!substitute(current(), TokenKind::Word) || !expect(TokenKind::Word, "label")) return false;
    line.data = previous().text;
    return true;
  }

  // Data is optional; when its comma is there, any token but a line end is
  // taken as it stands.
  bool parse_data(ProgramLine& line) {
    if (!check(TokenKind::Comma)) return true;
    advance();
    SourceToken& data = current();
    if (is_line_end(data)) return expecting("data", previous(), data);
    if (!substitute(data, TokenKind::Number)) return false;
    line.data = data.text;
    advance();
    return true;
  }

  bool parse_line_end() {
    if (!is_line_end(current())) return expecting("end of line", previous(), current());
    advance();
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
  // Before the first token, what an error quotes as the one before it,
  // shown by its text like a word.
  SourceToken previous_{TokenKind::Word, "Start of File", 1, 1};
  SourceToken current_;
  SourceToken next_;  // read once peek() asked for it
  bool peeked_ = false;
  bool reading_failed_ = false;
  ProgramModel& model_;
  std::ostream& report_;
  std::unordered_map<std::string_view, std::size_t> variable_positions_;
};

// Reads the rest of the tokens; false when one cannot be read.
bool read_to_end(TokenReader& tokens) {
  SourceToken token;
  do {
    if (!tokens.next(token)) return false;
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
  // Line by line, each flushed as every report line is.
  const std::string text = statement_error.str();
  for (std::size_t begin = 0, end = text.find('\n'); end != std::string::npos; begin = end + 1, end = text.find('\n', begin)) {
    report.write(text.data() + begin, static_cast<std::streamsize>(end + 1 - begin));
    report.flush();
  }
  return false;
}
