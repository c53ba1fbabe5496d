// The words and forms of the timing-program language that the parser and
// the value conversion recognise. They read these tables, and so does the
// help page's generator, so the page lists exactly what a program may say.
// The command words are the board's, kOpcodeKeywords in instruction.h.
#pragma once

#include <cstdint>
#include <limits>
#include <string_view>

#include "program_model.h"
#include "time_units.h"
#include "value_conversion.h"

// An output pattern other than a decimal number: its second character picks
// the form, which reads the text from the third character on.
struct PatternForm {
  char marker;
  bool (*value)(std::string_view, std::uint32_t&);
};

inline constexpr PatternForm kPatternForms[] = {
    {'B', binary_pattern_value},
    {'X', hex_pattern_value},
    {'N', bit_list_pattern_value},
};

// The outputs a bit list can name: bits 0 to 23.
inline constexpr unsigned kBitListBits = kOutputCount;

// Data numbers and decimal patterns beyond this read as this.
inline constexpr std::int64_t kLargestNumber = std::numeric_limits<std::int32_t>::max();

// The time units are the board's, kTimeUnits in time_units.h.

// A line holding this word alone is a whole instruction, kStopStatement.
inline constexpr std::string_view kStopWord = opcode_keyword(Opcode::Stop);
inline constexpr ProgramLine kStopStatement{"0", "1", "US", kStopWord, "0", 0};

// Commands whose operand is a label rather than a number.
inline constexpr std::string_view kLabelCommands[] = {opcode_keyword(Opcode::Branch), opcode_keyword(Opcode::Jsr)};
