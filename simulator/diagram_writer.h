// The run as a timing diagram (SVG): one trace per output bit that ever
// changes, a time axis, faint instruction boundaries and lanes of markers
// for loops going round, subroutine calls and returns, waits, the stop and
// an error. Steps are gathered into a fixed number of time bins, so a run of
// any length takes the same memory and gives a file of bounded size:
// changes closer together than a pixel are drawn as one band. The shapes
// come from the diagram model, which the timing view draws as well.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "diagram_model.h"
#include "simulation.h"

class DiagramWriter : public StepSink {
 public:
  // `name` opens the title: the program's file, or the board it came from.
  // The diagram covers `window`.
  DiagramWriter(double clock_mhz, std::string name, CycleWindow window = {});

  void step(const Step& step) override;

  // Writes the whole diagram of the ended run; false when a write failed.
  bool write(std::FILE* file, const RunEnd& end);

 private:
  static constexpr std::size_t kBinCount = 2048;

  DiagramBin& bin_at(std::uint64_t cycle);
  void coarsen();

  double clock_mhz_;
  std::string name_;
  CycleWindow window_;
  unsigned shift_ = 0;  // a bin spans 2^shift_ cycles
  std::array<DiagramBin, kBinCount> bins_{};
  std::uint32_t outputs_ = 0;
  std::uint32_t ever_changed_ = 0;
  std::uint8_t ever_marked_ = 0;
  std::uint64_t steps_ = 0;
};
