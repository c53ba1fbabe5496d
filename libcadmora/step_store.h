// A run's steps kept as arrays a caller reads whole: per step its start
// cycle, outputs and address, 16 bytes, and one bit for an END_LOOP going
// round. Lengths follow from the next step's start (the last one's from the
// run's end) and source lines from the address, so neither is kept.
#pragma once

#include <cstdint>
#include <vector>

#include "simulation.h"

class StepStore : public StepSink {
 public:
  void step(const Step& step) override;
  // Joins the blocks into one array each, block by block, so that the run
  // never holds much more than its steps.
  void finish();

  std::size_t size() const { return cycles_.size(); }
  const std::uint64_t* cycles() const { return cycles_.data(); }
  const std::uint32_t* outputs() const { return outputs_.data(); }
  const std::uint32_t* addresses() const { return addresses_.data(); }

  // Hands `sink` the steps again, as the run handed them out; `end` gives
  // the last one's length, and the program each step's command.
  void replay(const BoardProgram& program, const RunEnd& end, StepSink& sink) const;

 private:
  // Steps go into blocks of this many while the run lasts, so that a long
  // run grows without copying what it holds.
  static constexpr std::size_t kBlock = std::size_t{1} << 20;
  struct Block {
    std::vector<std::uint64_t> cycles;
    std::vector<std::uint32_t> outputs;
    std::vector<std::uint32_t> addresses;
  };

  std::vector<Block> blocks_;
  std::vector<std::uint64_t> cycles_;
  std::vector<std::uint32_t> outputs_;
  std::vector<std::uint32_t> addresses_;
  std::vector<bool> went_round_;
};
