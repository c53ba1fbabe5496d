#include "text_output.h"

#include <cmath>
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

void TextOutput::put_milli(double value) {
  // Whole part and thousandths apart, in integers. Only where the fraction
  // lies so near a rounding tie that the product could round either way
  // does the exact conversion decide.
  if (value >= 0 && value < 1e15) {
    const double whole = std::floor(value);
    const double thousandths = (value - whole) * 1000;
    const double below = std::floor(thousandths);
    if (std::fabs(thousandths - below - 0.5) > 1e-6) {
      std::uint64_t integer = static_cast<std::uint64_t>(whole);
      std::uint64_t fraction = static_cast<std::uint64_t>(below) + (thousandths - below > 0.5 ? 1 : 0);
      if (fraction == 1000) {
        ++integer;
        fraction = 0;
      }
      put_integer(integer);
      char digits[4] = {'.', static_cast<char>('0' + fraction / 100), static_cast<char>('0' + fraction / 10 % 10),
                        static_cast<char>('0' + fraction % 10)};
      return put(std::string_view(digits, 4));
    }
  }
  put_fixed(value, 3);
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
