// A report stream whose writing to the console happens on a thread of its
// own. A Load's listing ends every line with a flush, and each flushed line
// is a system call of its own; with the writing moved aside, the interpreter
// and the board go on while the console takes the lines, and the Load lasts
// about as long as the longer of the two.
#pragma once

#include <cstddef>
#include <memory>
#include <ostream>

// Where the report's pieces go: the console, or a test's stand-in.
class ReportSink {
 public:
  virtual ~ReportSink() = default;
  // Writes one piece whole; false once nothing more can be written (the
  // reader has gone away), and then it is not asked again.
  virtual bool write_piece(const char* text, std::size_t length) = 0;
};

class BackgroundReport : public std::ostream {
 public:
  // Everything written here reaches `sink` in order, one piece per flush,
  // within a few milliseconds of its flush here unless the console is slower
  // than the interpreter; then the interpreter waits once a bounded amount
  // of text is waiting for the console. Once the sink fails, the rest of the
  // report is dropped, and writing here goes on as if it still arrived.
  explicit BackgroundReport(ReportSink& sink);
  // Waits until everything written has reached `sink`.
  ~BackgroundReport() override;
  BackgroundReport(const BackgroundReport&) = delete;
  BackgroundReport& operator=(const BackgroundReport&) = delete;

  // Hands over what is left and waits until the sink has all of it.
  void finish();

 private:
  class Buffer;
  std::unique_ptr<Buffer> buffer_;
};
