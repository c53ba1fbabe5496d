// help_page TEMPLATE PAGE: writes the help page with its tables filled in
// from the interpreter's own (see help_page.h). The build runs it; a word
// the page does not describe fails the build.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "help_page.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: help_page TEMPLATE PAGE\n");
    return 64;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::string page_template((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in) {
    std::fprintf(stderr, "help_page: cannot read %s\n", argv[1]);
    return 1;
  }
  std::string page, error;
  if (!render_help_page(page_template, page, error)) {
    std::fprintf(stderr, "help_page: %s: %s\n", argv[1], error.c_str());
    return 1;
  }
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << page;
  out.close();
  if (!out) {
    std::fprintf(stderr, "help_page: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
