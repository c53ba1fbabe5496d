// The dump's time unit: 1, 10 or 100 of s, ms, us, ns, ps or fs, the units
// a value change dump allows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct VcdTimescale {
  std::uint64_t femtoseconds = 1000;  // 1 ps

  // "10 ns", as the dump's header writes it.
  std::string text() const;
  // "10ns", as a user writes it.
  std::string short_text() const;
  // Clock periods in units: every edge of the clock lands on a whole unit
  // when this is a whole number.
  double units_per_cycle(double clock_mhz) const;
  bool places_every_edge(double clock_mhz) const;
};

// "10ns", "1ps", "100US": none for a unit the dump does not allow.
std::optional<VcdTimescale> parse_vcd_timescale(std::string_view text);
// Why parse_vcd_timescale refused `text`, with the units it takes.
std::string timescale_problem(std::string_view text);

// The coarsest unit that places every clock edge exactly (10 ns at 100 MHz,
// 1 ns at 125 MHz). When none does (3 MHz: a period of 333.33 ns), the
// coarsest of at most a hundredth of a period, to which each time is
// rounded: at most half a percent of a cycle off.
VcdTimescale dump_timescale(double clock_mhz);
