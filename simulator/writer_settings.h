// What the timeline, dump and diagram writers are told besides the steps:
// one set, so that every program that writes them (cdmsim, the library)
// passes the same.
#pragma once

#include <optional>

#include "output_labels.h"
#include "simulation.h"
#include "vcd_timescale.h"

struct WriterSettings {
  double clock_mhz = 100;
  CycleWindow window;   // what the dump and the diagram show
  OutputLabels labels;  // the outputs' names
  std::optional<VcdTimescale> timescale;  // the dump's unit; none for dump_timescale(clock_mhz)
};
