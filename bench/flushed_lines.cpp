// The floor under any Load with its listing: writes N report-like lines to
// standard output, each in one piece and flushed, as the interpreter's
// report ends every line, and does nothing else:
//   flushed_lines <count>
#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::atol(argv[1]) : 0;
  static const char kLine[] = "Line 123456: 0XBCACD, 759.0MS, WAIT, 40\n";
  for (long i = 1; i <= count; ++i) {
    std::cout.write(kLine, sizeof kLine - 1);
    std::cout.flush();
  }
  return 0;
}
