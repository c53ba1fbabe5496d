#include "text_output.h"

#include <charconv>
#include <cstring>

void TextOutput::put(std::string_view text) {
  if (text.size() > sizeof buffer_ / 2) {
    flush();
    ok_ = std::fwrite(text.data(), 1, text.size(), file_) == text.size() && ok_;
    return;
  }
  std::memcpy(reserve(text.size()), text.data(), text.size());
  used_ += text.size();
}

void TextOutput::put_unsigned(std::uint64_t value) {
  char* begin = reserve(24);
  used_ += static_cast<std::size_t>(std::to_chars(begin, begin + 24, value).ptr - begin);
}

void TextOutput::put_signed(std::int64_t value) {
  char* begin = reserve(24);
  used_ += static_cast<std::size_t>(std::to_chars(begin, begin + 24, value).ptr - begin);
}

void TextOutput::put_fixed(double value, int decimals) {
  constexpr std::size_t kRoom = 400;  // the largest double has 309 digits
  char* begin = reserve(kRoom);
  auto [end, error] = std::to_chars(begin, begin + kRoom, value, std::chars_format::fixed, decimals);
  if (error == std::errc()) used_ += static_cast<std::size_t>(end - begin);
}

bool TextOutput::flush() {
  if (used_ > 0) ok_ = std::fwrite(buffer_, 1, used_, file_) == used_ && ok_;
  used_ = 0;
  ok_ = std::fflush(file_) == 0 && ok_;
  return ok_;
}

char* TextOutput::reserve(std::size_t size) {
  if (sizeof buffer_ - used_ < size) {
    if (used_ > 0) ok_ = std::fwrite(buffer_, 1, used_, file_) == used_ && ok_;
    used_ = 0;
  }
  return buffer_ + used_;
}
