// A whole run kept step by step, compactly, for a picture that zooms: the
// diagram model of any part of it at any width, and the step running at any
// cycle.
#pragma once

#include <cstdint>
#include <vector>

#include "diagram_model.h"
#include "simulation.h"

class RunRecord : public StepSink {
 public:
  struct Entry {
    std::uint64_t cycle;
    std::uint32_t address;
    std::uint32_t outputs : 24;
    std::uint32_t markers : 8;
  };

  void step(const Step& step) override;
  // The run ended at `end`: the diagram covers cycles up to its end, cut at
  // `horizon` as cdmsim's diagram is (at least one cycle); an error that
  // ended it within the horizon is marked at its last cycle.
  void finish(const RunEnd& end, std::uint64_t horizon);

  const std::vector<Entry>& entries() const { return entries_; }
  std::uint64_t total_cycles() const { return total_; }

  // The step running at `cycle`; null before the first.
  const Entry* entry_at(std::uint64_t cycle) const;

  // The model of `view` drawn on `plot`, at most one bin per pixel.
  DiagramModel model(const DiagramView& view, const PlotArea& plot, double clock_mhz) const;

 private:
  std::vector<Entry> entries_;
  std::uint32_t ever_changed_ = 0;
  std::uint8_t ever_marked_ = 0;
  std::uint64_t total_ = 1;
  std::uint64_t error_cycle_ = ~std::uint64_t{0};  // where an error is marked, if anywhere
};
