#include "parser.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <optional>
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
  // With `go_on`, a statement error or a reading error ends only its line,
  // and the parse goes on at the next one.
  Parser(TokenReader& tokens, ProgramModel& model, bool go_on) : tokens_(tokens), model_(model), go_on_(go_on) {
    read(current_);
  }

  // False when any error was found.
  bool parse() {
    for (;;) {
      if (check(TokenKind::Word) && peek().kind == TokenKind::Colon) {
        add_label();
        continue;
      }
      if (!parse_statement() || !parse_line_end()) {
        if (!go_on_) return false;
        skip_rest_of_line();
      }
      if (previous().kind == TokenKind::EndOfFile) return errors_.empty() && !reading_error_;
    }
  }

  // The statement errors in source order.
  std::vector<Diagnostic>& errors() { return errors_; }
  // The first reading error, once the token reader has failed; without
  // go_on the parse then ends as at the end of the file.
  const std::optional<Diagnostic>& reading_error() const { return reading_error_; }
  std::vector<Diagnostic>& later_reading_errors() { return later_reading_errors_; }

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

  // After the end of the file the reader gives its EndOfFile token again.
  // After a reading error an EndOfFile token stands in for the rest, or
  // with go_on the line's end does, and the line's statement error, if
  // any, is left unsaid.
  void read(SourceToken& token) {
    if (tokens_.next(token)) return;
    if (reading_error_) later_reading_errors_.push_back(tokens_.error());
    else reading_error_ = tokens_.error();
    if (!go_on_) {
      token = SourceToken{TokenKind::EndOfFile, {}, 0, 0};
      return;
    }
    failed_line_ = tokens_.error().line;
    tokens_.skip_line();
    tokens_.next(token);
  }

  // After an error: the tokens up to and with the line's end.
  void skip_rest_of_line() {
    while (!is_line_end(current())) advance();
    advance();
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
    const std::size_t earlier_errors = errors_.size();
    if (!expect(TokenKind::Comma, "comma")) {
      if (errors_.size() > earlier_errors) errors_.back().report_text += "Check for bad output pattern.\n";
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
    if (!line.units.empty()) return true;
    const std::size_t earlier_errors = errors_.size();
    expecting("time units", line.time, time, line.units);
    if (errors_.size() == earlier_errors) return false;
    // The unit belongs right after the number.
    Diagnostic& error = errors_.back();
    error.first_column = error.last_column = time.column + static_cast<unsigned>(line.time.size());
    error.message = "the time " + std::string(line.time) + " needs a unit after it:";
    for (const TimeUnit& unit : kTimeUnits) error.message += " " + std::string(unit.text);
    return false;
  }

  // The current token is the comma before the command. A command that
  // takes a label must have one, after a comma of its own.
  bool parse_command(ProgramLine& line) {
    advance();
    if (!substitute(current(), TokenKind::Word) || !expect(TokenKind::Word, "command")) return false;
    line.command = previous().text;
    if (!takes_label(line.command)) return parse_data(line);
    if (!expect(TokenKind::Comma, "comma") ||
        (!substitute(current(), TokenKind::Word) || !expect(TokenKind::Word, "label")))
      return needs_data(line.command);
    line.data = previous().text;
    return true;
  }

  // Data is optional; when its comma is there, any token but a line end is
  // taken as it stands.
  bool parse_data(ProgramLine& line) {
    if (!check(TokenKind::Comma)) return true;
    advance();
    SourceToken& data = current();
    if (is_line_end(data)) {
      expecting("data", previous(), data);
      return needs_data(line.command);
    }
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

  // A statement error at `position`: Load's first report line opens with
  // `lead_in` and names the position; `rest` are the lines under it.
  bool fail(const SourceToken& position, std::string_view lead_in, std::string rest, std::string message) {
    if (failed_line_ == position.line && go_on_) return false;
    Diagnostic d;
    d.line = position.line;
    d.first_column = position.column;
    d.last_column = position.column + static_cast<unsigned>(std::max<std::size_t>(1, position.text.size())) - 1;
    d.message = std::move(message);
    d.report_text = std::string(lead_in) + " on line " + std::to_string(position.line) + " starting at column " +
                    std::to_string(position.column) + ".\n" + rest;
    errors_.push_back(std::move(d));
    failed_line_ = position.line;
    return false;
  }

  bool expecting(std::string_view what, std::string_view after_text, const SourceToken& position,
                 std::string_view got_text) {
    const std::string after(token_display_text(after_text));
    const std::size_t earlier_errors = errors_.size();
    fail(position, "Expecting " + std::string(what) + " after " + after,
         "Got " + std::string(token_display_text(got_text)) + ".\n",
         "expected " + std::string(what) + " after " + after + ", got " + got_words(got_text));
    if (errors_.size() == earlier_errors) return false;
    Diagnostic& error = errors_.back();
    // A missing comma belongs right after the word before it.
    if (what == "comma" && after_text == position.text) error.first_column = error.last_column = error.last_column + 1;
    const auto comment_like = [](std::string_view text) { return text.find_first_of("#;") != std::string_view::npos; };
    if (comment_like(after_text) || comment_like(got_text)) error.message += "; comments start with /";
    return false;
  }

  // A command's data is missing: the latest error says what data it takes.
  bool needs_data(std::string_view command) {
    if (errors_.empty() || errors_.back().line != previous().line) return false;
    const bool label = takes_label(command);
    if (!label && command != opcode_keyword(Opcode::Loop) && command != opcode_keyword(Opcode::LongDelay)) return false;
    errors_.back().message = std::string(command) + (label ? " needs the label to go to" : " needs a count") +
                             " after a comma, as in 0x0, 10us, " + std::string(command) + (label ? ", START" : ", 3");
    return false;
  }

  bool expecting(std::string_view what, const SourceToken& after, const SourceToken& got) {
    return expecting(what, after.text, after, got.text);
  }

  bool not_a_pattern(const SourceToken& word) {
    const bool stop = word.text == kStopWord;
    return fail(word, "Expecting output pattern",
                "Got " + std::string(token_display_text(word.text)) + ".\n" +
                    (stop ? "STOP should be followed by End of Line.\n" : ""),
                stop || word.text.substr(0, kStopWord.size()) == kStopWord
                    ? "STOP takes no data: it stands alone on its line"
                     : "expected an output pattern, got " + got_words(word.text));
  }

  bool unknown_variable(const SourceToken& variable) {
    const std::string name(variable.text);
    const std::size_t earlier_errors = errors_.size();
    fail(variable, "Unknown variable " + name, "Variables must be declared beforehand.\n",
         "unknown variable " + name + "; variables must be declared before they are used");
    if (errors_.size() > earlier_errors) {
      std::vector<std::string> declared;
      for (const VariableEntry& entry : model_.variables) declared.emplace_back(entry.name);
      errors_.back().suggestion = closest_word(name, declared);
    }
    return false;
  }

  // A token as a message names what was found instead: "the end of the
  // line" for a line end.
  static std::string got_words(std::string_view text) {
    if (text.empty()) return "nothing";
    const std::string_view shown = token_display_text(text);
    if (shown == text) return std::string(text);
    std::string words = "the ";
    for (const char c : shown) words += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return words;
  }

  TokenReader& tokens_;
  // Before the first token, what an error quotes as the one before it,
  // shown by its text like a word.
  SourceToken previous_{TokenKind::Word, "Start of File", 1, 1};
  SourceToken current_;
  SourceToken next_;  // read once peek() asked for it
  bool peeked_ = false;
  ProgramModel& model_;
  const bool go_on_;
  unsigned failed_line_ = 0;  // the line of the latest error, whose further errors are left unsaid
  std::vector<Diagnostic> errors_;
  std::optional<Diagnostic> reading_error_;
  std::vector<Diagnostic> later_reading_errors_;
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

bool parse_program(TokenReader& tokens, ProgramModel& model, std::ostream& report, std::vector<Diagnostic>* all,
                   std::optional<Diagnostic>* reported) {
  model = ProgramModel{};
  Parser parser(tokens, model, all != nullptr);
  if (parser.parse()) return true;
  // A reading error anywhere in the source is the one reported, even after
  // a statement error earlier on, so without `all` the rest of the source
  // is read after a statement error.
  std::optional<Diagnostic> reading_error = parser.reading_error();
  if (!reading_error && all == nullptr && !read_to_end(tokens)) reading_error = tokens.error();
  const Diagnostic& shown = reading_error ? *reading_error : parser.errors().front();
  write_report_text(shown, report);
  if (reported != nullptr) *reported = shown;
  if (all != nullptr) {
    std::vector<Diagnostic>& errors = parser.errors();
    if (reading_error) errors.push_back(*reading_error);
    for (Diagnostic& later : parser.later_reading_errors()) errors.push_back(std::move(later));
    std::stable_sort(errors.begin(), errors.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
    for (Diagnostic& error : errors) all->push_back(std::move(error));
    return false;
  }
  model = ProgramModel{};
  return false;
}
