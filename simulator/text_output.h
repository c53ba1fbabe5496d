// Buffered text output to a C stream: the writers put millions of short
// fields, so they go through one buffer and plain fwrite calls.
#pragma once

#include <charconv>
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
  template <typename Integer>
  void put_integer(Integer value) {
    char* begin = reserve(24);
    used_ += static_cast<std::size_t>(std::to_chars(begin, begin + 24, value).ptr - begin);
  }
  // `value` with exactly `decimals` decimals, as printf's "%.3f" writes it.
  void put_fixed(double value, int decimals);
  // put_fixed(value, 3), faster.
  void put_milli(double value);

  // Writes out what is buffered; false once any write has failed.
  bool flush();

 private:
  // Room for `size` more bytes, flushing first when needed.
  char* reserve(std::size_t size);

  std::FILE* file_;
  bool ok_ = true;
  std::size_t used_ = 0;
  char buffer_[1 << 16];
};
