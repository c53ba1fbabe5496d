// The parse alone, on one thread: source text in memory into the program
// model, the best of several rounds, in megabytes of source per second of
// processor time (which other programs' turns on a busy machine do not
// inflate):
//   parse_file <source> [rounds]
#include <ctime>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "parser.h"
#include "source_reader.h"
#include "token_reader.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: parse_file <source> [rounds]\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const int rounds = argc > 2 ? std::stoi(argv[2]) : 15;
  double best = 0;
  for (int round = 0; round < rounds; ++round) {
    ProgramModel model;
    std::ostringstream report;
    const std::clock_t start = std::clock();
    SourceReader reader(text);
    TokenReader tokens(reader);
    if (!parse_program(tokens, model, report)) {
      std::cerr << report.str();
      return 1;
    }
    const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    if (round == 0 || seconds < best) best = seconds;
  }
  std::cout << static_cast<double>(text.size()) / 1e6 / best << " MB/s (" << best << " s, best of " << rounds
            << ")\n";
  return 0;
}
