#include "token_reader.h"

#include <array>
#include <cassert>
#include <cstdint>
#include <string>

namespace {

// What a character (after upper-casing) can do between and inside tokens.
enum class CharClass : std::uint8_t {
  Other,  // starts nothing: an offending character where a token could begin
  Letter,
  Digit,
  Dollar,
  Colon,
  Comma,
  Equals,
  Slash,
  LineFeed,
  Space,  // skipped between tokens and dropped inside them
  Tab,    // skipped between tokens but kept inside them
};

constexpr std::array<CharClass, 256> make_char_classes() {
  std::array<CharClass, 256> classes{};
  for (int c = 'A'; c <= 'Z'; ++c) classes[c] = CharClass::Letter;
  for (int c = '0'; c <= '9'; ++c) classes[c] = CharClass::Digit;
  classes['$'] = CharClass::Dollar;
  classes[':'] = CharClass::Colon;
  classes[','] = CharClass::Comma;
  classes['='] = CharClass::Equals;
  classes['/'] = CharClass::Slash;
  classes['\n'] = CharClass::LineFeed;
  classes[' '] = CharClass::Space;
  classes['\t'] = CharClass::Tab;
  return classes;
}

constexpr std::array<CharClass, 256> kCharClasses = make_char_classes();

// Characters that end a Word, Number or Variable (so does the end of input).
constexpr std::array<bool, 256> make_token_ends() {
  std::array<bool, 256> ends{};
  for (char c : {',', ':', '=', '/', '\n'}) ends[static_cast<unsigned char>(c)] = true;
  return ends;
}

constexpr std::array<bool, 256> kTokenEnds = make_token_ends();

// Tokens that are a single character of their own.
struct PunctuationToken {
  CharClass character;
  TokenKind kind;
  std::string_view text;
};

constexpr PunctuationToken kPunctuationTokens[] = {
    {CharClass::Colon, TokenKind::Colon, ":"},
    {CharClass::Comma, TokenKind::Comma, ","},
    {CharClass::Equals, TokenKind::Equals, "="},
};

// Kinds of the tokens that collect characters, by their first character.
struct TextTokenStart {
  CharClass character;
  TokenKind kind;
};

constexpr TextTokenStart kTextTokenStarts[] = {
    {CharClass::Letter, TokenKind::Word},
    {CharClass::Digit, TokenKind::Number},
    {CharClass::Dollar, TokenKind::Variable},
};

constexpr std::string_view kEndOfLineText = "\n";
constexpr std::string_view kEndOfFileText = "EOF";

// Upper-cases as the C locale does: only 'a' to 'z' change.
int upper_case(int c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

bool is_end(int c) { return c == SourceReader::kEnd; }

CharClass class_of(int c) {
  assert(!is_end(c));
  return kCharClasses[static_cast<unsigned char>(c)];
}

bool ends_token(int c) { return is_end(c) || kTokenEnds[static_cast<unsigned char>(c)]; }

// The tables above by character, so that a pass looks a character up once.
struct CharacterRole {
  const TextTokenStart* text_start = nullptr;
  const PunctuationToken* punctuation = nullptr;
};

constexpr std::array<CharacterRole, 256> make_character_roles() {
  std::array<CharacterRole, 256> roles{};
  for (int c = 0; c < 256; ++c) {
    for (const TextTokenStart& start : kTextTokenStarts)
      if (start.character == kCharClasses[c]) roles[c].text_start = &start;
    for (const PunctuationToken& punctuation : kPunctuationTokens)
      if (punctuation.character == kCharClasses[c]) roles[c].punctuation = &punctuation;
  }
  return roles;
}

constexpr std::array<CharacterRole, 256> kCharacterRoles = make_character_roles();

const TextTokenStart* text_token_start(int c) {
  if (is_end(c)) return nullptr;
  return kCharacterRoles[static_cast<unsigned char>(c)].text_start;
}

const PunctuationToken* punctuation_token(int c) {
  assert(!is_end(c));
  return kCharacterRoles[static_cast<unsigned char>(c)].punctuation;
}

// Reads in passes: each pass reads one character, collects a whole token if
// one starts there, and then deals with the character left over. A character
// that no pass takes is the reading error. The end of the input is known for
// good only when the source says so at the end of a pass.
class TokenReader {
 public:
  TokenReader(SourceReader& source, TokenSequence& tokens) : source_(source), tokens_(tokens) {}

  bool read(std::ostream& report) {
    for (;;) {
      if (waiting_) return fail(report);
      advance();
      waiting_ = true;
      if (const TextTokenStart* start = text_token_start(current_)) read_text_token(start->kind);
      deal_with_waiting();
      if (source_.at_end()) {
        append(TokenKind::EndOfFile, kEndOfFileText);
        return true;
      }
    }
  }

 private:
  // Every read counts a column, the one that meets the end of the input too.
  void advance() {
    current_ = upper_case(source_.get());
    ++column_;
  }
  // Comments keep their letter case; they never become tokens.
  void advance_in_comment() {
    current_ = source_.get();
    ++column_;
  }

  void append(TokenKind kind, std::string_view text) { tokens_.append(kind, text, column_); }

  // The text is collected in one buffer reused for every token, grown
  // only when a token is longer than any before it.
  void read_text_token(TokenKind kind) {
    const unsigned column = column_;
    std::size_t length = 0;
    while (!ends_token(current_)) {
      if (current_ != ' ') {
        if (length == text_.size()) text_.resize(2 * length + 32);
        text_[length++] = static_cast<char>(current_);
      }
      advance();
    }
    tokens_.append(kind, std::string_view(text_.data(), length), column);
  }

  // Runs from the '/' to the line feed or the end of the input, which is left
  // waiting.
  void skip_comment() {
    do {
      advance_in_comment();
    } while (current_ != '\n' && !is_end(current_));
  }

  void take() { waiting_ = false; }

  void deal_with_waiting() {
    if (is_end(current_)) return;
    if (const PunctuationToken* punctuation = punctuation_token(current_)) {
      append(punctuation->kind, punctuation->text);
      return take();
    }
    if (class_of(current_) == CharClass::Slash) skip_comment();
    if (is_end(current_)) return;
    switch (class_of(current_)) {
      case CharClass::LineFeed:
        append(TokenKind::EndOfLine, kEndOfLineText);
        ++line_;
        column_ = 0;
        return take();
      case CharClass::Space:
      case CharClass::Tab:
        return take();
      default:
        return;
    }
  }

  bool fail(std::ostream& report) {
    assert(!is_end(current_));
    report << "Reading of tokens failed at Line " << line_ << " Column " << column_ << "." << std::endl;
    report << "Offending character: \"" << static_cast<char>(current_) << "\"." << std::endl;
    tokens_ = TokenSequence();
    return false;
  }

  SourceReader& source_;
  TokenSequence& tokens_;
  std::string text_;
  int current_ = SourceReader::kEnd;
  bool waiting_ = false;  // `current_` has not been taken yet
  unsigned line_ = 1;
  unsigned column_ = 0;
};

}  // namespace

bool read_tokens(SourceReader& source, TokenSequence& tokens, std::ostream& report) {
  return TokenReader(source, tokens).read(report);
}

std::string_view token_display_text(std::string_view text) {
  if (text == kEndOfLineText) return "End of Line";
  if (text == kEndOfFileText) return "End of File";
  return text;
}
