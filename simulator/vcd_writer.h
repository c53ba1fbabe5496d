// The run as a value change dump (IEEE 1364 VCD) that waveform viewers and
// logic-analyser tools read: one one-bit wire per output, named as the
// settings' labels name it (out0..out23 unless the program names them), and
// the 24 outputs as one number, "outputs". The unit is the settings'
// timescale, by default the coarsest that places every clock edge exactly.
//
// The outputs together are a real variable holding the outputs' number,
// not a 24-bit vector: some readers (libsigrok 0.5's) take no vector value
// wider than one bit and stop reading at the first, while every reader
// skips or shows a real.
#pragma once

#include <cstdint>
#include <optional>

#include "simulation.h"
#include "text_output.h"
#include "writer_settings.h"

class VcdWriter : public StepSink {
 public:
  // Writes the header. The dump covers the settings' window: it starts with
  // the outputs as they are at its first cycle and ends at its last.
  VcdWriter(TextOutput& out, const WriterSettings& settings);

  void step(const Step& step) override;

  // Ends the dump at the run's last cycle, or the window's.
  void finish(const RunEnd& end);

 private:
  void start(std::uint64_t cycle);
  void put_time(std::uint64_t cycle);
  void put_values(std::uint32_t changed);

  TextOutput& out_;
  CycleWindow window_;
  double units_per_cycle_;
  std::uint64_t whole_units_per_cycle_;  // 0 unless every edge falls on a whole unit
  bool started_ = false;
  std::uint32_t outputs_ = 0;
  std::optional<double> last_time_;
};
