// Board times as users write them (10us, 2.5ms, 1s) and as messages show them.
#pragma once

#include <string>
#include <string_view>

enum class TimeReading { Read, Malformed, OutOfRange };

// Digits with an optional point and fraction, then s, ms, us or ns in any
// letter case, into nanoseconds. A time too large for a finite number of
// nanoseconds is out of range, never taken as some other time.
TimeReading parse_time_ns(std::string_view text, double& ns);

// Reads `text` as parse_time_ns does; where it is no time, false with a
// one-line `problem` naming it when the cause is plain ("'1e999s' is out of
// range", "'2' needs a unit: s, ms, us or ns") and an empty one for any
// other text, which each reader words for its own users.
bool read_time_ns(std::string_view text, double& ns, std::string& problem);

// The units a time may end in, for messages: "s, ms, us or ns".
std::string time_unit_list();

// A time in the largest unit it reaches, as users write it: 1s, 2.5ms, 0ns.
std::string time_text(double ns);

// A number with at most `decimals` decimals and no trailing zeros: 10, 1.33.
std::string short_number(double value, int decimals = 3);
