// The run as a value change dump (IEEE 1364 VCD) that waveform viewers and
// logic-analyser tools read: 24 one-bit wires out0..out23 and the 24-bit
// vector "outputs", times in picoseconds.
#pragma once

#include <cstdint>

#include "simulation.h"
#include "text_output.h"

class VcdWriter : public StepSink {
 public:
  // Writes the header.
  VcdWriter(TextOutput& out, double clock_mhz);

  void step(const Step& step) override;

  // Ends the dump at the run's last cycle.
  void finish(const RunEnd& end);

 private:
  void put_time(std::uint64_t cycle);
  void put_values(std::uint32_t changed);

  TextOutput& out_;
  double clock_mhz_;
  bool started_ = false;
  std::uint32_t outputs_ = 0;
  double last_time_ps_ = -1;
};
