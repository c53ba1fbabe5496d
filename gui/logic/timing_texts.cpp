#include "timing_texts.h"

#include "time_text.h"

namespace {

std::string at_cycle(const char* name, std::uint64_t cycle, double clock_mhz) {
  return std::string(name) + " at " + time_text(cycle_time_ns(cycle, clock_mhz));
}

}  // namespace

std::string run_title(const std::string& name, double clock_mhz, std::uint64_t steps, EndReason reason,
                      std::uint64_t shown_cycles) {
  return name + " at " + short_number(clock_mhz, 6) + " MHz: " + std::to_string(steps) + " instructions in " +
         time_text(cycle_time_ns(shown_cycles, clock_mhz)) + " (" + std::to_string(shown_cycles) +
         " cycles); ended: " + std::string(end_reason_text(reason));
}

std::string cursors_text(const MeasuringCursors& cursors, double clock_mhz) {
  if (!cursors.a && !cursors.b) return {};
  if (!cursors.b) return at_cycle("A", *cursors.a, clock_mhz);
  if (!cursors.a) return at_cycle("B", *cursors.b, clock_mhz);
  const std::uint64_t apart = *cursors.a > *cursors.b ? *cursors.a - *cursors.b : *cursors.b - *cursors.a;
  return at_cycle("A", *cursors.a, clock_mhz) + ", " + at_cycle("B", *cursors.b, clock_mhz) + ": " +
         time_text(cycle_time_ns(apart, clock_mhz)) + " apart (" + std::to_string(apart) +
         (apart == 1 ? " cycle)" : " cycles)");
}

bool read_setting_time(std::string_view text, double& ns, std::string& problem) {
  if (read_time_ns(text, ns, problem)) return true;
  if (problem.empty()) problem = "'" + std::string(text) + "' is not a time such as 10us, 2.5ms or 1s";
  return false;
}
