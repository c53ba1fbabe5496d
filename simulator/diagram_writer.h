// The run as a timing diagram (SVG): one trace per output bit that ever
// changes, a time axis, faint instruction boundaries and lanes of markers
// for loops going round, subroutine calls and returns, waits, the stop and
// an error. Steps are gathered into a fixed number of time bins, so a run of
// any length takes the same memory and gives a file of bounded size:
// changes closer together than a pixel are drawn as one band. The shapes
// come from the diagram model, which the timing view draws as well.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "diagram_model.h"
#include "simulation.h"
#include "writer_settings.h"

class DiagramWriter : public StepSink {
 public:
  // `name` opens the title: the program's file, or the board it came from.
  // The diagram covers the settings' window; its traces bear their labels.
  DiagramWriter(const WriterSettings& settings, std::string name);

  void step(const Step& step) override;

  // Writes the whole diagram of the ended run; false when a write failed.
  bool write(std::FILE* file, const RunEnd& end);

 private:
  double clock_mhz_;
  std::string name_;
  CycleWindow window_;
  OutputLabels labels_;
  CoarseningBins bins_{2048};          // from the window's first cycle on
  std::uint32_t outputs_at_start_ = 0;  // as the window begins
};
