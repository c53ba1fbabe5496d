#include "token_reader.h"

#include <array>
#include <cassert>
#include <cstring>
#include <string>
#include <utility>

#include "upper_case.h"

namespace {

// Bytes read from the source at a time; a token longer than that takes a
// block of its own.
constexpr std::size_t kBlockSize = 1 << 16;

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
  Other,  // starts nothing: an offending character where a token could begin, or the block's end
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

// The bytes a token keeps as they stand: all but those that end it, a
// blank, a lower-case letter and NUL, which also marks the block's end.
constexpr std::array<bool, 256> make_kept_bytes() {
  std::array<bool, 256> kept{};
  for (int c = 1; c < 256; ++c)
    kept[c] = kCharClasses[c] > CharClass::LineFeed && c != ' ' && upper_case(static_cast<char>(c)) == c;
  return kept;
}

constexpr std::array<bool, 256> kKeptBytes = make_kept_bytes();

bool kept_as_is(char c) { return kKeptBytes[static_cast<unsigned char>(c)]; }

constexpr std::string_view kEndOfLineText = "\n";
constexpr std::string_view kEndOfFileText = "EOF";

}  // namespace

TokenReader::TokenReader(SourceReader& source) : source_(source) {
  refill(nullptr, 0);
}

// Reads the next block after the `carried` bytes of a token that runs on
// from `carried_from`, which then start the block. A block a token of this
// line views is held until the next line begins, and a fresh one taken.
// False when the source is exhausted.
bool TokenReader::refill(const char* carried_from, std::size_t carried) {
  const std::uint64_t read_so_far = block_ ? offset(end_) : 0;
  const std::size_t size = carried + kBlockSize;
  if (block_viewed_ || size > block_size_) {
    std::unique_ptr<char[]> block(new char[size + 1]);
    if (carried > 0) std::memcpy(block.get(), carried_from, carried);
    if (block_viewed_) held_.push_back(std::move(block_));
    block_ = std::move(block);
    block_size_ = size;
    block_viewed_ = false;
  } else if (carried > 0) {
    std::memmove(block_.get(), carried_from, carried);
  }
  const std::size_t got = source_.read(block_.get() + carried, block_size_ - carried);
  block_offset_ = read_so_far - carried;
  next_ = block_.get() + carried;
  end_ = next_ + got;
  *end_ = '\0';
  return got > 0;
}

void TokenReader::set(SourceToken& token, TokenKind kind, std::string_view text) const {
  token.kind = kind;
  token.text = text;
  token.line = line_;
  token.column = static_cast<unsigned>(offset(next_) - line_offset_ + 1);
}

// Runs from the '/' up to the line feed or the end of the input, which is
// left to be dealt with. Comments keep their letter case and never become
// tokens.
void TokenReader::skip_comment() {
  do {
    const void* line_feed = std::memchr(next_, '\n', static_cast<std::size_t>(end_ - next_));
    if (line_feed != nullptr) {
      next_ = static_cast<char*>(const_cast<void*>(line_feed));
      return;
    }
  } while (refill(nullptr, 0));
}

// Takes up to the byte that ends the token, which is left to be dealt with,
// and upper-cases the token and drops its blanks where it stands.
bool TokenReader::read_text_token(TokenKind kind, SourceToken& token) {
  set(token, kind, {});
  char* start = next_;
  char* in = start;
  char* out = start;
  for (;;) {
    while (kept_as_is(*in)) ++in;
    out = in;
    for (; in != end_ && !ends_token(*in); ++in) {
      *out = upper_case(*in);
      out += *in != ' ';
    }
    if (in != end_) break;
    const auto carried = static_cast<std::size_t>(out - start);
    const bool more = refill(start, carried);
    start = block_.get();
    in = out = start + carried;
    if (!more) break;
  }
  next_ = in;
  token.text = std::string_view(start, static_cast<std::size_t>(out - start));
  block_viewed_ = true;
  return true;
}

bool TokenReader::next(SourceToken& token) {
  if (std::exchange(line_ended_, false)) {
    held_.clear();
    block_viewed_ = false;
  }
  for (;;) {
    switch (class_of(*next_)) {
      case CharClass::Letter:
        return read_text_token(TokenKind::Word, token);
      case CharClass::Digit:
        return read_text_token(TokenKind::Number, token);
      case CharClass::Dollar:
        return read_text_token(TokenKind::Variable, token);
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
        ++next_;
        line_offset_ = offset(next_);
        line_ended_ = true;
        return true;
      case CharClass::Space:
      case CharClass::Tab:
        while (*next_ == ' ' || *next_ == '\t') ++next_;
        continue;
      case CharClass::Other:
        if (next_ != end_) return false;
        if (refill(nullptr, 0)) continue;
        set(token, TokenKind::EndOfFile, kEndOfFileText);
        return true;
    }
    return false;
  }
}

bool TokenReader::take_punctuation(TokenKind kind, std::string_view text, SourceToken& token) {
  set(token, kind, text);
  ++next_;
  return true;
}

Diagnostic TokenReader::error() const {
  assert(next_ != end_);
  Diagnostic d;
  d.line = line_;
  d.first_column = d.last_column = static_cast<unsigned>(offset(next_) - line_offset_ + 1);
  const char offending = *next_;
  d.message = "unexpected character \"" + std::string(1, offending) + "\"";
  if (offending == '#' || offending == ';') d.message += "; comments start with /";
  d.report_text = "Reading of tokens failed at Line " + std::to_string(d.line) + " Column " +
                  std::to_string(d.first_column) + ".\nOffending character: \"" + offending + "\".\n";
  return d;
}

void TokenReader::skip_line() { skip_comment(); }

// A word EOF reads as the end of the file too: messages have always shown a
// token's text, which for the end of the file is EOF, and reports that users
// compare against keep reading the same.
std::string_view token_display_text(std::string_view text) {
  if (text == kEndOfLineText) return "End of Line";
  if (text == kEndOfFileText) return "End of File";
  return text;
}
