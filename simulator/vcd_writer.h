// The run as a value change dump (IEEE 1364 VCD) that waveform viewers and
// logic-analyser tools read: 24 one-bit wires out0..out23 and the 24-bit
// vector "outputs", times in picoseconds.
#pragma once

#include <cstdint>

#include "simulation.h"
#include "text_output.h"

class VcdWriter : public StepSink {
 public:
  // Writes the header. The dump covers `window`: it starts with the
  // outputs as they are at its first cycle and ends at its last.
  VcdWriter(TextOutput& out, double clock_mhz, CycleWindow window = {});

  void step(const Step& step) override;

  // Ends the dump at the run's last cycle, or the window's.
  void finish(const RunEnd& end);

 private:
  void start(std::uint64_t cycle);
  void put_time(std::uint64_t cycle);
  void put_values(std::uint32_t changed);

  TextOutput& out_;
  double clock_mhz_;
  CycleWindow window_;
  bool started_ = false;
  std::uint32_t outputs_ = 0;
  double last_time_ps_ = -1;
};
