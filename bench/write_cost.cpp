// What one `write` system call costs here: writes a report-like line to
// standard output with the system call itself, `count` times, and prints
// the mean processor time of one call (user and system, so that other
// programs' turns on a shared machine do not count) in microseconds to
// standard error. The Load's floor and its writing thread are made of such
// calls, so every Load figure is quoted with this one:
//   write_cost [count] > /dev/null
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::atol(argv[1]) : 1000000;
  static const char kLine[] = "Line 123456: 0XBCACD, 759.0MS, WAIT, 40\n";
  const std::clock_t start = std::clock();
  for (long i = 0; i < count; ++i)
    if (write(STDOUT_FILENO, kLine, sizeof kLine - 1) < 0) return 1;
  const double microseconds = 1e6 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  std::fprintf(stderr, "%.3f\n", count > 0 ? microseconds / static_cast<double>(count) : 0.0);
  return 0;
}
