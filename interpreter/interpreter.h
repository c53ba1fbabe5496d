// The timing-program interpreter's one entry, and the records its phases
// hand to one another: tokens, the program model and instruction fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <ostream>
#include <string_view>
#include <vector>

class TextStore;

// Reads the source file, checks it, optionally lists what it understood and
// writes one board instruction per program line through the board library.
// Every message goes to `report`. Returns true only when every line has been
// written to the board.
bool run_interpreter(double clock_mhz, int board_number, const char* source_path,
                     std::ostream& report, bool debug_listing);

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
// dropped; it views the TextStore of the token sequence that holds it (or a
// literal), so tokens are cheap to copy and never own their characters.
struct SourceToken {
  TokenKind kind = TokenKind::EndOfFile;
  std::string_view text;
  unsigned line = 1;    // 1-based source line the token starts on
  unsigned column = 1;  // 1-based column of its first character
};

// The token reader's output, in reading order, ending with the one
// EndOfFile token. The parser walks it once from front to back and releases
// the tokens it has left behind, so a large source never holds all its tokens
// and its whole program model at the same time.
class TokenSequence {
 public:
  TokenSequence();

  void push_back(const SourceToken& token) { tokens_.push_back(token); }
  // One past the index of the last token appended.
  std::size_t size() const { return first_kept_ + tokens_.size(); }
  bool empty() const { return size() == 0; }
  // `index` must lie in [first_kept(), size()).
  SourceToken& operator[](std::size_t index) { return tokens_[index - first_kept_]; }
  const SourceToken& operator[](std::size_t index) const { return tokens_[index - first_kept_]; }
  const SourceToken& back() const { return tokens_.back(); }

  // Frees every token before `index`; their indexes stay unused.
  void release_before(std::size_t index);
  std::size_t first_kept() const { return first_kept_; }

  // Where the tokens' texts live. A ProgramModel parsed from these tokens
  // shares it, since its texts view the same characters.
  TextStore& texts() { return *texts_; }
  const std::shared_ptr<TextStore>& shared_texts() const { return texts_; }

 private:
  std::deque<SourceToken> tokens_;
  std::size_t first_kept_ = 0;
  std::shared_ptr<TextStore> texts_;
};

// ---------------------------------------------------------------------------
// Program model

// One instruction as the parser understood it. Every text views the token
// texts (or a literal) and is upper case, after variable substitution.
struct ProgramLine {
  std::string_view pattern;  // 0X0F, 0B0101, 0N1+3, 15, ...
  std::string_view time;     // leading digits and points of the time field; may be empty
  std::string_view units;    // the rest of the time field; never empty
  std::string_view command;  // "CONTINUE" when the line names none
  std::string_view data;     // "0" when the line gives none; a label for JSR and BRANCH
  unsigned line = 0;         // source line of the pattern (or of the word STOP)
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
  // The position of a line is its instruction index. A deque grows without
  // copying what it holds and reuses the blocks the parser releases.
  std::deque<ProgramLine> lines;
  std::vector<LabelEntry> labels;        // in definition order; a name may repeat
  std::vector<VariableEntry> variables;  // in order of first declaration; names unique
  // Keeps the characters the texts above view.
  std::shared_ptr<const TextStore> texts;
};

// ---------------------------------------------------------------------------
// Board instructions

enum class Opcode : std::int32_t {
  Continue = 0,
  Stop = 1,
  Loop = 2,
  EndLoop = 3,
  Jsr = 4,
  Rts = 5,
  Branch = 6,
  LongDelay = 7,
  Wait = 8,
};

struct OpcodeKeyword {
  std::string_view keyword;
  Opcode opcode;
};

// Command words, compared exactly and in this order.
inline constexpr OpcodeKeyword kOpcodeKeywords[] = {
    {"CONTINUE", Opcode::Continue}, {"STOP", Opcode::Stop},
    {"LOOP", Opcode::Loop},         {"END_LOOP", Opcode::EndLoop},
    {"JSR", Opcode::Jsr},           {"RTS", Opcode::Rts},
    {"BRANCH", Opcode::Branch},     {"LONG_DELAY", Opcode::LongDelay},
    {"WAIT", Opcode::Wait},
};

// The four numbers of one board instruction, in the order the board
// library's instruction call takes them.
struct InstructionFields {
  std::uint32_t output_value = 0;  // output pattern as a bit mask
  std::int32_t opcode = 0;         // an Opcode value
  std::int32_t data = 0;           // count, or instruction index for JSR, BRANCH, END_LOOP
  double duration_ns = 0;
};
