// Buffered text output to a C stream: the writers put millions of short
// fields, so they go through one buffer and plain fwrite calls.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>

class TextOutput {
 public:
  explicit TextOutput(std::FILE* file) : file_(file) {}
  ~TextOutput() {
    if (used_ > 0) flush();
  }
  TextOutput(const TextOutput&) = delete;
  TextOutput& operator=(const TextOutput&) = delete;

  void put(std::string_view text);
  void put(char c) {
    if (used_ == sizeof buffer_) flush();
    buffer_[used_++] = c;
  }
  void put_unsigned(std::uint64_t value);
  void put_signed(std::int64_t value);
  // `value` with exactly `decimals` decimals, as printf's "%.3f" writes it.
  void put_fixed(double value, int decimals);
  // put_fixed(value, 3), faster.
  void put_milli(double value);

  // Writes out what is buffered; false once any write has failed.
  bool flush();
  bool ok() const { return ok_; }

 private:
  // Room for `size` more bytes, flushing first when needed.
  char* reserve(std::size_t size);

  std::FILE* file_;
  bool ok_ = true;
  std::size_t used_ = 0;
  char buffer_[1 << 16];
};
