#include <cassert>
#include <cstring>

#include "interpreter.h"

// A token's record: its kind, with kOwnText set when its text is not its
// kind's usual one; its column; and, with kOwnText, the text's length and
// bytes. Its line is not stored: the cursor counts line ends.

namespace {

constexpr unsigned char kOwnText = 0x80;

// The text a token of each kind has unless it carries its own.
constexpr std::string_view kUsualTexts[] = {"", "", "", ":", ",", "=", "\n", "EOF"};

std::string_view usual_text(TokenKind kind) { return kUsualTexts[static_cast<int>(kind)]; }

// Words, numbers and variables always carry their own text.
bool has_usual_text(TokenKind kind) { return kind > TokenKind::Variable; }

}  // namespace

void TokenSequence::append(TokenKind kind, std::string_view text, unsigned column) {
  const bool own_text = !has_usual_text(kind) || text != usual_text(kind);
  char* out = records_.begin_record(1 + 2 * kMaxVarintSize + text.size());
  *out++ = static_cast<char>(static_cast<unsigned char>(kind) | (own_text ? kOwnText : 0));
  out = write_varint(out, column);
  if (own_text) {
    out = write_varint(out, text.size());
    if (!text.empty()) std::memcpy(out, text.data(), text.size());
    out += text.size();
  }
  records_.end_record(out);
  ++count_;
}

bool TokenSequence::Cursor::next(SourceToken& token) {
  const char* in = records_.next();
  if (in == nullptr) return false;
  const auto head = static_cast<unsigned char>(*in++);
  token.kind = static_cast<TokenKind>(head & ~kOwnText);
  assert(static_cast<unsigned>(token.kind) <= static_cast<unsigned>(TokenKind::EndOfFile));
  token.column = static_cast<unsigned>(read_varint(in));
  token.text = usual_text(token.kind);
  if (head & kOwnText) {
    const auto size = static_cast<std::size_t>(read_varint(in));
    token.text = std::string_view(in, size);
    in += size;
  }
  records_.finish(in);
  token.line = line_;
  if (token.kind == TokenKind::EndOfLine) ++line_;
  return true;
}
