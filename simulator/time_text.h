// Board times as users write them (10us, 2.5ms, 1s) and as messages show them.
#pragma once

#include <string>
#include <string_view>

enum class TimeReading { Read, Malformed, OutOfRange };

// Digits with an optional point and fraction, then s, ms, us or ns in any
// letter case, into nanoseconds. A time too large for a finite number of
// nanoseconds is out of range, never taken as some other time.
TimeReading parse_time_ns(std::string_view text, double& ns);

// The units a time may end in, for messages: "s, ms, us or ns".
std::string time_unit_list();

// A time in the largest unit it reaches, as users write it: 1s, 2.5ms, 0ns.
std::string time_text(double ns);

// A number with at most `decimals` decimals and no trailing zeros: 10, 1.33.
std::string short_number(double value, int decimals = 3);
