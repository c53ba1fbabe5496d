// A whole run kept step by step, for a picture that zooms: the diagram
// model of any part of it at any width, and the step running at any cycle.
// A step's length, outputs and markers follow from its instruction (all but
// whether an END_LOOP went round), so a step is kept as its address alone,
// with the start cycle written down every so often; and a summary of the
// run in fixed bins draws a wide span without visiting every step.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "diagram_model.h"
#include "simulation.h"

class RunRecord : public StepSink {
 public:
  struct Entry {
    std::uint64_t cycle;
    std::uint32_t address;
    std::uint32_t outputs;
  };

  void step(const Step& step) override;
  // The run ended at `end`: the diagram covers cycles up to its end, cut at
  // `horizon` as cdmsim's diagram is (at least one cycle); an error that
  // ended it within the horizon is marked at its last cycle.
  void finish(const RunEnd& end, std::uint64_t horizon);

  std::uint64_t total_cycles() const { return total_; }

  // The step running at `cycle`; none before the first.
  std::optional<Entry> entry_at(std::uint64_t cycle) const;

  // Hands `visit` each step that starts at or after `cycle`, in order, until
  // it answers false.
  void visit_from(std::uint64_t cycle, const std::function<bool(const Entry&)>& visit) const;

  // The model of `view` drawn on `plot`, at most one bin per pixel, its
  // traces labelled as `labels` name them (none: out<N>).
  DiagramModel model(const DiagramView& view, const PlotArea& plot, double clock_mhz,
                     const OutputLabels* labels = nullptr) const;

 private:
  struct Instruction {
    std::uint64_t cycles = 0;  // 0: not met yet
    std::uint32_t outputs = 0;
    std::uint8_t markers = 0;  // but a loop going round
  };
  // Where the lengths alone would not find a step's start: every so many
  // steps, and wherever a step did not start where they say.
  struct Checkpoint {
    std::size_t step;
    std::uint64_t cycle;
  };
  struct Cursor {
    std::size_t step;
    std::uint64_t cycle;
    std::size_t next_checkpoint;
  };

  Cursor cursor_at(std::uint64_t cycle) const;
  void advance(Cursor& cursor) const;
  std::uint8_t markers_of(std::uint32_t kept) const;
  // Narrow spans step by step; `outputs` stand as the view begins.
  void bin_steps(const DiagramView& view, std::uint32_t outputs, std::vector<TimedBin>& bins) const;
  void bin_summary(const DiagramView& view, std::vector<TimedBin>& bins) const;

  // In blocks, so that a long run grows without copying what it holds.
  std::deque<std::uint32_t> steps_;        // address << 1 | went round a loop
  std::vector<Instruction> instructions_;  // by address; a length of 0 until met
  std::vector<Checkpoint> checkpoints_;
  std::uint64_t next_cycle_ = 0;  // where the lengths say the next step starts
  CoarseningBins summary_{1 << 16};
  std::uint64_t total_ = 1;
  std::optional<std::uint64_t> error_cycle_;
};
