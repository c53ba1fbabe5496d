// The units a board time is written in, in programs and on command lines.
#pragma once

#include <string_view>

struct TimeUnit {
  std::string_view text;  // upper case
  double nanoseconds;
};

inline constexpr TimeUnit kTimeUnits[] = {
    {"S", 1e9},
    {"MS", 1e6},
    {"US", 1e3},
    {"NS", 1},
};
