// Turns one program line into the four numbers of its board instruction.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "diagnostic.h"
#include "program_model.h"

// Finds the instruction index a JSR or BRANCH names. A label defined more
// than once stands for its last definition.
class LabelIndex {
 public:
  explicit LabelIndex(const std::vector<LabelEntry>& labels);
  // False when no label has this name.
  bool find(std::string_view name, int& index) const;

 private:
  // Open addressing in one flat array, at most half full, of positions in
  // the label table: a look-up in a large program touches a slot, the
  // label's entry and its text, where a node-based map touches a bucket, a
  // node and the text, and the array is smaller than the nodes.
  std::size_t slot_of(std::string_view name) const;

  const std::vector<LabelEntry>& labels_;
  std::vector<std::uint32_t> slots_;  // position in labels_ plus one; 0 is free
  std::size_t mask_ = 0;              // the slot count less one, a power of two less one
};

// Instruction indexes of the LOOPs still open, the innermost last.
using LoopStack = std::vector<std::int32_t>;

// Converts `line`, the instruction with index `index`. A LOOP pushes its
// index on `loops`, an END_LOOP pops its partner. On a bad value describes
// it in `error` and returns false.
bool convert_line(const ProgramLine& line, unsigned index, const LabelIndex& labels, LoopStack& loops,
                  Diagnostic& error, InstructionFields& fields);

// Converts every line of `model` and adds each value error to `all`, and a
// warning for each LOOP left without its END_LOOP, in line order.
void check_values(const ProgramModel& model, std::vector<Diagnostic>& all);

// The pattern forms, each given the pattern text from its third character
// on. Binary and hexadecimal wrap at 32 bits; a bit list sets bits 0 to 23.
bool binary_pattern_value(std::string_view digits, std::uint32_t& value);
bool hex_pattern_value(std::string_view digits, std::uint32_t& value);
bool bit_list_pattern_value(std::string_view bits, std::uint32_t& value);
