#include <clocale>
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
  // The command line's names are in the system's code page, as the C
  // library opens them for cdmcli; the paths made from them read them so
  // too, rather than byte by byte as Latin-1.
  std::setlocale(LC_CTYPE, "");
#endif
  remove_temporaries_on_interrupt();
  return run_cdmsim(argc, argv, stdout, std::cerr);
}
