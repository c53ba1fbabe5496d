// The first phase of a run: source bytes into tokens, read one at a time as
// the parser asks for them.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "program_model.h"
#include "source_reader.h"

class TokenReader {
 public:
  // `first_line` is the number of the source's line the reader starts on.
  explicit TokenReader(SourceReader& source, unsigned first_line = 1) : source_(source), line_(first_line) {}

  // Reads the next token into `token`. A Word, Number or Variable has its
  // text written into `text`, which `token.text` then views; other tokens
  // view texts of their own. After the EndOfFile token it gives that token
  // again. False at a character that can start nothing, which it does not
  // take: write_error then reports it, and every later call fails on it
  // again.
  bool next(SourceToken& token, std::string& text);

  // The two-line reading error, once next() has failed.
  void write_error(std::ostream& report) const;

 private:
  bool at_block_end() const { return next_ == end_; }
  bool load_block();
  void take(std::size_t count);
  void skip_blanks();
  void skip_comment();
  void read_text_token(TokenKind kind, SourceToken& token, std::string& text);
  bool take_punctuation(TokenKind kind, std::string_view text, SourceToken& token);
  void set(SourceToken& token, TokenKind kind, std::string_view text) const;

  SourceReader& source_;
  const char* next_ = nullptr;  // the first byte not taken yet, in the block
  const char* end_ = nullptr;   // the end of the block
  unsigned line_;
  unsigned column_ = 0;  // bytes taken on this line: a token starting next is one column further
};

// A token text as messages show it: a line end reads "End of Line" and the
// end of the file "End of File"; any other text is itself. Every line end
// and end of file token the reader gives has such a text.
std::string_view token_display_text(std::string_view text);
