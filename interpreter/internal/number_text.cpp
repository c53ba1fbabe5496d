#include "number_text.h"

#include <charconv>
#include <cmath>

char* write_decimal(char* out, std::int64_t value) {
  return std::to_chars(out, out + kNumberTextSize, value).ptr;
}

char* write_default_float(char* out, double value) {
  // Whole numbers below a million, every duration under a millisecond among
  // them, are their own digits in this notation.
  constexpr double kFirstExponentForm = 1e6;
  if (value >= 0 && value < kFirstExponentForm && value == static_cast<double>(static_cast<std::int64_t>(value)) &&
      !(value == 0 && std::signbit(value)))
    return write_decimal(out, static_cast<std::int64_t>(value));
  // The "general" form with a precision is, by definition, printf's %.6g in
  // the C locale, which is what the stream's default notation produces.
  constexpr int kDefaultPrecision = 6;
  return std::to_chars(out, out + kNumberTextSize, value, std::chars_format::general, kDefaultPrecision).ptr;
}
