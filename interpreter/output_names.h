// Names for the board's outputs, carried by the program as comments, so
// that every loader reads the file as before:
//
//   / outputs: 0=laser, 1=camera, 7=trigger
//
// Such lines name outputs only at the top of the file, above the first line
// that holds anything but blanks and comments; there may be several. After
// the '/' and any blanks comes "outputs:" (in any letter case), then
// entries NUMBER=NAME separated by commas (an empty one is passed over),
// blanks allowed around each part:
// NUMBER an output, 0 to 23; NAME a letter or '_' and then letters, digits
// and '_', at most 32 characters, kept in its letter case. A name is none
// of "outputs" and out<N> but an output's own, and is given once: letter
// case aside, no two outputs share one.
//
// What is not so is a warning of its own and names nothing: an entry not
// of that form, a number out of range, a name given twice, an output named
// twice (the first name stands), an outputs: line below the top.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostic.h"
#include "instruction.h"

inline constexpr std::size_t kLongestOutputName = 32;

struct OutputNaming {
  std::array<std::string, kOutputCount> names;  // empty for an output without a name
  std::vector<Diagnostic> warnings;             // category output-names, in line order
};

// Reads the names from a program's source text.
OutputNaming read_output_names(std::string_view source);
