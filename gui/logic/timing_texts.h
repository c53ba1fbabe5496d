// The timing view's texts that need no window: its title, the measuring
// cursors' read-out and the reading of the horizon and WAIT boxes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "simulation.h"

// "blink.cdm at 100 MHz: 15 instructions in 1.8us (180 cycles); ended: stop".
// The length is the shown run's, `shown_cycles`, which the axis ends at:
// a run cut at the horizon is as long as the horizon.
std::string run_title(const std::string& name, double clock_mhz, std::uint64_t steps, EndReason reason,
                      std::uint64_t shown_cycles);

// Cursor A and cursor B, each at a cycle once placed.
struct MeasuringCursors {
  std::optional<std::uint64_t> a;
  std::optional<std::uint64_t> b;
};

// "A at 1us, B at 3.5us: 2.5us apart (250 cycles)"; one cursor alone is
// read out alone, none gives an empty text.
std::string cursors_text(const MeasuringCursors& cursors, double clock_mhz);

// Reads a horizon or WAIT box as cdmsim reads --until and --wait (10us,
// 2.5ms, 1s); false with a one-line `problem` naming the text.
bool read_setting_time(std::string_view text, double& ns, std::string& problem);
