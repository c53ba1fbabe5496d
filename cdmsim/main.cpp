#include <clocale>
#include <cstdio>
#include <iostream>

#include "cdmsim.h"
#include "file_names.h"
#include "replacing_file.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#if defined(_WIN32)
  // The timeline's lines end in LF on every platform.
  _setmode(_fileno(stdout), _O_BINARY);
  // Narrow names from elsewhere, such as the emulator's folder from the
  // environment, are in the system's code page; the paths made from them
  // read them so too, rather than byte by byte as Latin-1.
  std::setlocale(LC_CTYPE, "");
#endif
  remove_temporaries_on_interrupt();
  const CommandLine command_line(argc, argv);
  return run_cdmsim(command_line.argc(), command_line.argv(), stdout, std::cerr);
}
