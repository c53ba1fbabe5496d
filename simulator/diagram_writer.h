// The run as a timing diagram (SVG): one trace per output bit that ever
// changes, a time axis, faint instruction boundaries and lanes of markers
// for loops going round, subroutine calls and returns, waits, the stop and
// an error. Steps are gathered into a fixed number of time bins, so a run of
// any length takes the same memory and gives a file of bounded size:
// changes closer together than a pixel are drawn as one band.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "simulation.h"

class DiagramWriter : public StepSink {
 public:
  // `name` opens the title: the program's file, or the board it came from.
  // The diagram covers `window`.
  DiagramWriter(double clock_mhz, std::string name, CycleWindow window = {});

  void step(const Step& step) override;

  // Writes the whole diagram of the ended run; false when a write failed.
  bool write(std::FILE* file, const RunEnd& end);

  enum Marker : std::uint8_t {
    kLoopMarker = 1,
    kCallMarker = 2,
    kReturnMarker = 4,
    kWaitMarker = 8,
    kStopMarker = 16,
    kErrorMarker = 32,
  };

  // What happened within one stretch of time.
  struct Bin {
    std::uint32_t start_value = 0;    // outputs as the stretch begins
    std::uint32_t end_value = 0;      // and as it ends
    std::uint32_t changed_once = 0;   // bits that changed at least once
    std::uint32_t changed_twice = 0;  // bits that changed at least twice
    std::uint32_t boundaries = 0;     // instructions that started
    std::uint8_t markers = 0;
    bool touched = false;
  };

 private:
  static constexpr std::size_t kBinCount = 2048;

  Bin& bin_at(std::uint64_t cycle);
  void coarsen();

  double clock_mhz_;
  std::string name_;
  CycleWindow window_;
  unsigned shift_ = 0;  // a bin spans 2^shift_ cycles
  std::array<Bin, kBinCount> bins_{};
  std::uint32_t outputs_ = 0;
  std::uint32_t ever_changed_ = 0;
  std::uint8_t ever_marked_ = 0;
  std::uint64_t steps_ = 0;
};
