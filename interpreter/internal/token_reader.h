// The first phase of a run: source bytes into tokens, read one at a time as
// the parser asks for them. The reader holds the source a block at a time
// and a token's text is a slice of its block, upper-cased and without its
// blanks in place.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "diagnostic.h"
#include "program_model.h"
#include "source_reader.h"

class TokenReader {
 public:
  explicit TokenReader(SourceReader& source);

  // Reads the next token into `token`. A Word, Number or Variable views the
  // reader's block; its text stays valid until the reader gives the token
  // after the next line end. Other tokens view texts of their own. After the
  // EndOfFile token it gives that token again. False at a character that
  // can start nothing, which it does not take: error() then describes it,
  // and every later call fails on it again until skip_line().
  bool next(SourceToken& token);

  // The reading error, with Load's two report lines, once next() has failed.
  Diagnostic error() const;

  // After a failed next(): drops the rest of the line, so that the next
  // token is its line end (or the end of the file).
  void skip_line();

 private:
  bool refill(const char* carried_from, std::size_t carried);
  void skip_comment();
  bool read_text_token(TokenKind kind, SourceToken& token);
  bool take_punctuation(TokenKind kind, std::string_view text, SourceToken& token);
  void set(SourceToken& token, TokenKind kind, std::string_view text) const;
  std::uint64_t offset(const char* at) const { return block_offset_ + static_cast<std::uint64_t>(at - block_.get()); }

  SourceReader& source_;
  std::unique_ptr<char[]> block_;  // its bytes, then a NUL that marks their end
  std::size_t block_size_ = 0;     // room for bytes, the NUL not counted
  // Earlier blocks that tokens of the current line view; dropped when the
  // next line begins.
  std::vector<std::unique_ptr<char[]>> held_;
  bool block_viewed_ = false;  // a token of the current line views block_
  bool line_ended_ = false;    // the last token given was a line end
  char* next_ = nullptr;       // the first byte not taken yet
  char* end_ = nullptr;        // the end of the block's bytes
  // Offsets in the source with its line ends folded: of block_'s first byte
  // (as if what a token carried over took its place) and of the line's.
  std::uint64_t block_offset_ = 0;
  std::uint64_t line_offset_ = 0;
  unsigned line_ = 1;
};

// A token text as messages show it: a line end reads "End of Line" and the
// end of the file "End of File"; any other text is itself. Every line end
// and end of file token the reader gives has such a text.
std::string_view token_display_text(std::string_view text);
