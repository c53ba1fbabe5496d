// Board times as users write them (10us, 2.5ms, 1s) and as messages show them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Digits with an optional point and fraction, then s, ms, us or ns in any
// letter case. Returns nanoseconds.
std::optional<double> parse_time_ns(std::string_view text);

// A number with at most `decimals` decimals and no trailing zeros: 10, 1.33.
std::string short_number(double value, int decimals = 3);
