#include <cstdio>
#include <iostream>

#include "cdmsim.h"
#include "replacing_file.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#if defined(_WIN32)
  // The timeline's lines end in LF on every platform.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  remove_temporaries_on_interrupt();
  return run_cdmsim(argc, argv, stdout, std::cerr);
}
