// What the timeline, the dump, the diagram and the timing view call each
// board output: the name the program gives it, or out<N>.
#pragma once

#include <array>
#include <string>

#include "instruction.h"

struct OutputLabels {
  std::array<std::string, kOutputCount> names;  // empty for an output without a name

  // Output `output`'s name, or "out<output>" when it has none.
  std::string label(int output) const;
};
