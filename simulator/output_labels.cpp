#include "output_labels.h"

std::string OutputLabels::label(int output) const {
  const std::string& name = names[static_cast<std::size_t>(output)];
  return name.empty() ? "out" + std::to_string(output) : name;
}

