// The process's standard output as the report's sink, written with the
// operating system's own call, one call per piece: no C stream sits in
// between. Nothing else in the process may write to standard output while a
// report goes here.
#pragma once

#include <string>

#include "background_report.h"

class StandardOutput : public ReportSink {
 public:
  // False once standard output can no longer be written: a closed pipe, a
  // full disk or no standard output at all.
  bool write_piece(const char* text, std::size_t length) override;

#if defined(_WIN32)
 private:
  std::string crlf_;  // the piece with every line end made CR LF, as a text-mode stream writes it
#endif
};
