// The records the interpreter's phases hand to one another: tokens, and
// the program model the parser builds and the programming pass reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "instruction.h"
#include "record_blocks.h"

// ---------------------------------------------------------------------------
// Tokens

enum class TokenKind : std::uint8_t {
  Word = 0,      // starts with a letter
  Number = 1,    // starts with a decimal digit
  Variable = 2,  // starts with '$'
  Colon = 3,
  Comma = 4,
  Equals = 5,
  EndOfLine = 6,
  EndOfFile = 7,
};

// One token of the source. `text` is upper-cased, with the blanks inside it
// dropped; it views storage of the token's reader (or a literal), so tokens
// are cheap to copy and never own their characters.
struct SourceToken {
  TokenKind kind = TokenKind::EndOfFile;
  std::string_view text;
  unsigned line = 1;    // 1-based source line the token starts on
  unsigned column = 1;  // 1-based column of its first character
};

// ---------------------------------------------------------------------------
// Program model

// What a program line holds where it names no command or gives no data.
inline constexpr std::string_view kDefaultCommand = opcode_keyword(Opcode::Continue);
inline constexpr std::string_view kDefaultData = "0";

// One instruction as the parser understood it. Every text is upper case,
// after variable substitution.
struct ProgramLine {
  std::string_view pattern;  // 0X0F, 0B0101, 0N1+3, 15, ...
  std::string_view time;     // leading digits and points of the time field; may be empty
  std::string_view units;    // the rest of the time field; never empty
  std::string_view command = kDefaultCommand;
  std::string_view data = kDefaultData;  // a label for JSR and BRANCH
  unsigned line = 0;                     // source line of the pattern (or of the word STOP)
};

// The program lines in order; a line's position is its instruction index.
// Each line is stored as its texts' bytes, so a large program takes little
// more memory than its source; reading gives ProgramLine records whose texts
// view that storage.
class ProgramLineList {
 public:
  void push_back(const ProgramLine& line);
  std::size_t size() const { return count_; }

  // Walks the lines in a range-for loop, all the use they have.
  class const_iterator {
   public:
    const ProgramLine& operator*() const { return current_; }
    const_iterator& operator++() {
      if (--remaining_ > 0) decode();
      return *this;
    }
    bool operator!=(const const_iterator& other) const { return remaining_ != other.remaining_; }

   private:
    friend class ProgramLineList;
    const_iterator(const RecordBlocks& records, std::size_t remaining);
    void decode();

    RecordBlocks::Cursor records_;
    std::size_t remaining_;
    ProgramLine current_;
  };

  const_iterator begin() const { return const_iterator(records_, count_); }
  const_iterator end() const { return const_iterator(records_, 0); }

  // On the last walk over the lines: frees the storage of the lines before
  // `at`, so that a long program's lines give their memory back as they
  // become instructions. Those lines are not read again; size() stays.
  void release_before(const const_iterator& at) { records_.release_walked(at.records_); }

 private:
  RecordBlocks records_;
  std::size_t count_ = 0;
};

struct LabelEntry {
  std::string_view name;  // without its colon
  int index = 0;          // instruction index of the next program line
};

struct VariableEntry {
  std::string_view name;   // with its leading '$'
  std::string_view value;  // value text of its latest declaration
};

struct ProgramModel {
  ProgramLineList lines;
  std::vector<LabelEntry> labels;        // in definition order; a name may repeat
  std::vector<VariableEntry> variables;  // in order of first declaration; names unique
  // Holds the label names and the variables' names and values, a few texts
  // in all, in ordinary pages rather than huge ones.
  RecordBlocks texts{/*huge_pages=*/false};
};
