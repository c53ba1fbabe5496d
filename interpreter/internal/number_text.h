// Numbers written straight into a character buffer, with the same characters
// as an ostream in its default format and the classic locale writes them, but
// without the stream's per-number locale and facet work: a long listing
// writes millions of them.
#pragma once

#include <cstdint>

// Room for any number below, terminating zero not included.
constexpr int kNumberTextSize = 32;

// Each writes the number at `out` and returns one past its last character.
char* write_decimal(char* out, std::int64_t value);
// The stream's default floating-point notation: six significant digits,
// trailing zeros and a whole number's point dropped, exponent notation
// (at least two exponent digits) when the decimal exponent is below -4 or
// 6 and above. 2500 stays 2500, 1000000 becomes 1e+06.
char* write_default_float(char* out, double value);
