#include "vcd_timescale.h"

#include <cctype>
#include <cmath>
#include <iterator>

namespace {

struct UnitName {
  std::string_view text;
  std::uint64_t femtoseconds;
};

// From the largest unit down.
constexpr UnitName kUnits[] = {{"s", 1'000'000'000'000'000}, {"ms", 1'000'000'000'000}, {"us", 1'000'000'000},
                               {"ns", 1'000'000},            {"ps", 1'000},             {"fs", 1}};
constexpr std::uint64_t kFactors[] = {100, 10, 1};

// Every allowed unit, coarsest first.
template <typename Visit>
std::optional<VcdTimescale> first_unit(Visit accept) {
  for (const UnitName& unit : kUnits)
    for (std::uint64_t factor : kFactors)
      if (accept(VcdTimescale{factor * unit.femtoseconds})) return VcdTimescale{factor * unit.femtoseconds};
  return std::nullopt;
}

const UnitName& unit_of(std::uint64_t femtoseconds) {
  for (const UnitName& unit : kUnits)
    if (femtoseconds >= unit.femtoseconds) return unit;
  return kUnits[std::size(kUnits) - 1];
}

// The count of the unit, `between`, and the unit's name.
std::string written(std::uint64_t femtoseconds, std::string_view between) {
  const UnitName& unit = unit_of(femtoseconds);
  return std::to_string(femtoseconds / unit.femtoseconds) + std::string(between) + std::string(unit.text);
}

}  // namespace

std::string VcdTimescale::text() const { return written(femtoseconds, " "); }

std::string VcdTimescale::short_text() const { return written(femtoseconds, ""); }

double VcdTimescale::units_per_cycle(double clock_mhz) const {
  return 1e9 / clock_mhz / static_cast<double>(femtoseconds);
}

bool VcdTimescale::places_every_edge(double clock_mhz) const {
  const double units = units_per_cycle(clock_mhz);
  return units >= 0.5 && std::fabs(units - std::round(units)) <= units * 1e-12;
}

std::optional<VcdTimescale> parse_vcd_timescale(std::string_view text) {
  std::string lower;
  for (char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return first_unit([&](VcdTimescale unit) { return unit.short_text() == lower; });
}

std::string timescale_problem(std::string_view text) {
  return "'" + std::string(text) + "' is not a dump unit: 1, 10 or 100 of s, ms, us, ns, ps or fs";
}

VcdTimescale dump_timescale(double clock_mhz) {
  if (auto exact = first_unit([&](VcdTimescale unit) { return unit.places_every_edge(clock_mhz); })) return *exact;
  const auto fine = first_unit([&](VcdTimescale unit) { return unit.units_per_cycle(clock_mhz) >= 100; });
  return fine.value_or(VcdTimescale{1});
}
