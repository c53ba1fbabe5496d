// The units a board time is written in, in programs and on command lines.
#pragma once

#include <iterator>
#include <string_view>

struct TimeUnit {
  std::string_view text;  // upper case
  double nanoseconds;
  std::string_view symbol;  // as a diagram's time axis shows it: "\xC2\xB5s"
};

// From the largest unit down.
inline constexpr TimeUnit kTimeUnits[] = {
    {"S", 1e9, "s"},
    {"MS", 1e6, "ms"},
    {"US", 1e3, "\xC2\xB5s"},
    {"NS", 1, "ns"},
};

// The largest unit `ns` reaches; nanoseconds for less than one.
inline const TimeUnit& largest_unit_in(double ns) {
  for (const TimeUnit& unit : kTimeUnits)
    if (ns >= unit.nanoseconds) return unit;
  return kTimeUnits[std::size(kTimeUnits) - 1];
}
