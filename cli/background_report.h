// A report stream whose writing to the console happens on a thread of its
// own. A Load's listing ends every line with a flush, and on a console each
// flush is a system call that costs more than interpreting the line; with the
// writing moved aside, the interpreter and the board go on while the console
// takes the lines, and the Load lasts about as long as the writing alone.
#pragma once

#include <memory>
#include <ostream>

class BackgroundReport : public std::ostream {
 public:
  // Everything written here reaches `target` in order, in the same pieces
  // between flushes, each piece followed by a flush of `target`, within a
  // few milliseconds of its flush here unless the console is slower than the
  // interpreter; then the interpreter waits once a bounded amount of text is
  // waiting for the console.
  explicit BackgroundReport(std::ostream& target);
  // Waits until everything written has reached `target`.
  ~BackgroundReport() override;
  BackgroundReport(const BackgroundReport&) = delete;
  BackgroundReport& operator=(const BackgroundReport&) = delete;

  // Hands over what is left and waits until the target has all of it.
  void finish();

 private:
  class Buffer;
  std::unique_ptr<Buffer> buffer_;
};
