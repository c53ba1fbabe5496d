#include "interpreter.h"

#include "source_reader.h"

bool run_interpreter(double clock_mhz, int board_number, const char* source_path,
                     std::ostream& report, bool debug_listing) {
  (void)clock_mhz;
  (void)board_number;
  (void)debug_listing;
  SourceReader source;
  if (source_path == nullptr || !source.open(source_path)) {
    report << "Failed to open file." << std::endl;
    return false;
  }
  source.close();
  return true;
}
