#include "token_reader.h"

#include <array>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <string>

#include "upper_case.h"

namespace {

// What a byte can do between and inside tokens. The bytes that end a Word,
// Number or Variable come first, so that one comparison tells them.
enum class CharClass : std::uint8_t {
  Colon,
  Comma,
  Equals,
  Slash,
  LineFeed,  // the last that ends a token
  Letter,
  Digit,
  Dollar,
  Space,  // skipped between tokens and dropped inside them
  Tab,    // skipped between tokens but kept inside them
  Other,  // starts nothing: an offending character where a token could begin
};

// One class per raw byte, built once: a lower-case letter is a letter, and
// is upper-cased inside its token.
constexpr std::array<CharClass, 256> make_char_classes() {
  std::array<CharClass, 256> classes{};
  for (CharClass& c : classes) c = CharClass::Other;
  for (int c = 'A'; c <= 'Z'; ++c) classes[c] = CharClass::Letter;
  for (int c = 'a'; c <= 'z'; ++c) classes[c] = CharClass::Letter;
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

CharClass class_of(char c) { return kCharClasses[static_cast<unsigned char>(c)]; }

// Ends a Word, Number or Variable (so does the end of input).
bool ends_token(char c) { return class_of(c) <= CharClass::LineFeed; }

// Room for the longest token text of a usual program, so that a buffer
// grows hardly ever.
constexpr std::size_t kInitialTextSize = 64;

constexpr std::string_view kEndOfLineText = "\n";
constexpr std::string_view kEndOfFileText = "EOF";

}  // namespace

bool TokenReader::load_block() {
  const std::string_view block = source_.next_block();
  next_ = block.data();
  end_ = block.data() + block.size();
  return !block.empty();
}

void TokenReader::take(std::size_t count) {
  next_ += count;
  column_ += static_cast<unsigned>(count);
}

void TokenReader::skip_blanks() {
  const char* blank = next_;
  while (blank != end_ && (*blank == ' ' || *blank == '\t')) ++blank;
  take(static_cast<std::size_t>(blank - next_));
}

// Runs from the '/' up to the line feed or the end of the input, which is
// left to be dealt with. Comments keep their letter case and never become
// tokens.
void TokenReader::skip_comment() {
  do {
    const auto rest = static_cast<std::size_t>(end_ - next_);
    const void* line_feed = std::memchr(next_, '\n', rest);
    take(line_feed == nullptr ? rest : static_cast<std::size_t>(static_cast<const char*>(line_feed) - next_));
  } while (at_block_end() && load_block());
}

void TokenReader::set(SourceToken& token, TokenKind kind, std::string_view text) const {
  token.kind = kind;
  token.text = text;
  token.line = line_;
  token.column = column_ + 1;
}

// Collects up to the byte that ends the token, which is left to be dealt
// with, upper-cased and without its blanks. `text` is a buffer reused from
// token to token, grown only when a token is longer than any it held before.
void TokenReader::read_text_token(TokenKind kind, SourceToken& token, std::string& text) {
  set(token, kind, {});
  if (text.empty()) text.resize(kInitialTextSize);
  // Locals, since a store through `out` could otherwise change any member
  // as far as the compiler knows, and every one would be read again.
  char* out = text.data();
  char* out_end = out + text.size();
  do {
    const char* in = next_;
    const char* const end = end_;
    for (; in != end && !ends_token(*in); ++in) {
      if (out == out_end) {
        const std::size_t length = text.size();
        text.resize(2 * length);
        out = text.data() + length;
        out_end = text.data() + text.size();
      }
      *out = upper_case(*in);
      out += *in != ' ';
    }
    take(static_cast<std::size_t>(in - next_));
  } while (at_block_end() && load_block());
  token.text = std::string_view(text.data(), static_cast<std::size_t>(out - text.data()));
}

bool TokenReader::next(SourceToken& token, std::string& text) {
  for (;;) {
    if (at_block_end() && !load_block()) {
      set(token, TokenKind::EndOfFile, kEndOfFileText);
      return true;
    }
    switch (class_of(*next_)) {
      case CharClass::Letter:
        read_text_token(TokenKind::Word, token, text);
        return true;
      case CharClass::Digit:
        read_text_token(TokenKind::Number, token, text);
        return true;
      case CharClass::Dollar:
        read_text_token(TokenKind::Variable, token, text);
        return true;
      case CharClass::Colon:
        return take_punctuation(TokenKind::Colon, ":", token);
      case CharClass::Comma:
        return take_punctuation(TokenKind::Comma, ",", token);
      case CharClass::Equals:
        return take_punctuation(TokenKind::Equals, "=", token);
      case CharClass::Slash:
        skip_comment();
        continue;
      case CharClass::LineFeed:
        set(token, TokenKind::EndOfLine, kEndOfLineText);
        ++line_;
        column_ = 0;
        ++next_;
        return true;
      case CharClass::Space:
      case CharClass::Tab:
        skip_blanks();
        continue;
      case CharClass::Other:
        return false;
    }
    return false;
  }
}

bool TokenReader::take_punctuation(TokenKind kind, std::string_view text, SourceToken& token) {
  set(token, kind, text);
  take(1);
  return true;
}

void TokenReader::write_error(std::ostream& report) const {
  assert(!at_block_end());
  report << "Reading of tokens failed at Line " << line_ << " Column " << column_ + 1 << "." << std::endl;
  report << "Offending character: \"" << *next_ << "\"." << std::endl;
}

// A word EOF reads as the end of the file too: messages have always shown a
// token's text, which for the end of the file is EOF, and reports that users
// compare against keep reading the same.
std::string_view token_display_text(std::string_view text) {
  if (text == kEndOfLineText) return "End of Line";
  if (text == kEndOfFileText) return "End of File";
  return text;
}
