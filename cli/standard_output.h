// The process's standard output as the report's sink, written with the
// operating system's own call, one call per piece: no C stream sits in
// between, so no stream lock and no stream bookkeeping is paid per line.
// Nothing else in the process may write to standard output while a report
// goes here.
#pragma once

#include <string>

#include "background_report.h"

class StandardOutput : public ReportSink {
 public:
  // False once standard output can no longer be written: a closed pipe, a
  // full disk or no standard output at all.
  bool write_piece(const char* text, std::size_t length) override;
  // Linux: gives the writing thread a file table of its own. While two
  // threads share one, the kernel takes and drops a reference to the file
  // on every write, two atomic operations that cost a fifth of a write to a
  // fast console; with a table each, both threads' system calls take the
  // single-owner path. The copy is made before the Load opens any file, so
  // it holds only what the process was started with.
  void prepare_writing_thread() override;

#if defined(_WIN32)
 private:
  std::string crlf_;  // the piece with every line end made CR LF, as a text-mode stream writes it
#endif
};
