// Writes a generated timing program to standard output:
//   generate_program <instructions> [seed]
#include <cstdio>
#include <cstdlib>

#include "program_generator.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: generate_program <instructions> [seed]\n", stderr);
    return 2;
  }
  const auto instructions = std::strtoull(argv[1], nullptr, 10);
  const auto seed = argc > 2 ? static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 1u;
  const std::string program = generate_program(instructions, seed);
  return std::fwrite(program.data(), 1, program.size(), stdout) == program.size() ? 0 : 1;
}
