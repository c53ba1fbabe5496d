// The floor under any Load with its listing: writes N report-like lines to
// standard output, each ended by std::endl (a line feed and a flush), as the
// interpreter's report does:
//   flushed_lines <count>
#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::atol(argv[1]) : 0;
  for (long i = 1; i <= count; ++i) std::cout << "Line " << i << ": 0XBCACD, 759.0MS, WAIT, 40" << std::endl;
  return 0;
}
