#include "parser.h"

#include <string_view>
#include <unordered_map>

#include "token_reader.h"

namespace {

constexpr std::string_view kStopWord = "STOP";
constexpr std::string_view kDefaultCommand = "CONTINUE";
constexpr std::string_view kDefaultData = "0";

// A line holding STOP alone runs for one microsecond and stops.
constexpr ProgramLine kStopStatement{"0", "1", "US", "STOP", "0", 0};

// Commands whose operand is a label rather than a number.
constexpr std::string_view kLabelCommands[] = {"BRANCH", "JSR"};

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

class Parser {
 public:
  Parser(TokenSequence& tokens, ProgramModel& model, std::ostream& report)
      : tokens_(tokens), model_(model), report_(report), i_(tokens.first_kept()) {}

  bool parse() {
    while (i_ < tokens_.size()) {
      if (at_label()) {
        add_label();
        continue;
      }
      if (!parse_statement() || !parse_line_end()) return false;
    }
    model_.texts = tokens_.shared_texts();
    return true;
  }

 private:
  // The token `offset` places after the cursor; past the end, the last one
  // (the EndOfFile token).
  SourceToken& at(std::size_t offset) {
    const std::size_t index = i_ + offset;
    return tokens_[index < tokens_.size() ? index : tokens_.size() - 1];
  }

  bool at_label() { return at(0).kind == TokenKind::Word && at(1).kind == TokenKind::Colon; }

  void add_label() {
    model_.labels.push_back(LabelEntry{at(0).text, static_cast<int>(model_.lines.size())});
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

  // The line end stays available as the token before the next statement;
  // everything before it is released.
  bool parse_line_end() {
    const SourceToken& before = i_ > tokens_.first_kept() ? tokens_[i_ - 1] : kStartOfFile;
    if (!is_line_end(at(0))) return expecting("end of line", before, at(0));
    ++i_;
    tokens_.release_before(i_ - 1);
    return true;
  }

  void declare(std::string_view name, std::string_view value) {
    const auto [position, is_new] = variable_positions_.try_emplace(name, model_.variables.size());
    if (is_new) {
      model_.variables.push_back(VariableEntry{name, value});
      return;
    }
    model_.variables[position->second].value = value;
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

  TokenSequence& tokens_;
  ProgramModel& model_;
  std::ostream& report_;
  std::size_t i_;  // the cursor
  std::unordered_map<std::string_view, std::size_t> variable_positions_;
};

}  // namespace

bool parse_program(TokenSequence& tokens, ProgramModel& model, std::ostream& report) {
  model = ProgramModel{};
  if (Parser(tokens, model, report).parse()) return true;
  model = ProgramModel{};
  return false;
}
