// A run's steps kept as arrays a caller reads whole: per step its start
// cycle, outputs and address, 16 bytes, and one bit for an END_LOOP going
// round. Lengths follow from the next step's start (the last one's from the
// run's end) and source lines from the address, so neither is kept.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <new>

#include "simulation.h"

// An array of plain values that grows by realloc: a large one is moved by
// the system's page tables rather than copied, and only the pages written
// take memory, so a run of n steps holds about n values at its peak, not
// the 1.5 to 3 times that growing a std::vector by copying holds.
template <typename Value>
class GrowingArray {
 public:
  GrowingArray() = default;
  GrowingArray(const GrowingArray&) = delete;
  GrowingArray& operator=(const GrowingArray&) = delete;
  ~GrowingArray() { std::free(values_); }

  void push_back(Value value) {
    if (size_ == capacity_) resize(capacity_ == 0 ? 1024 : capacity_ * 2);
    values_[size_++] = value;
  }
  // Gives back the room never written.
  void shrink_to_fit() {
    if (size_ > 0) resize(size_);
  }
  std::size_t size() const { return size_; }
  const Value* data() const { return values_; }
  Value operator[](std::size_t index) const { return values_[index]; }
  Value& back() { return values_[size_ - 1]; }

 private:
  void resize(std::size_t capacity) {
    if (capacity > SIZE_MAX / sizeof(Value)) throw std::bad_alloc();
    void* moved = std::realloc(values_, capacity * sizeof(Value));
    if (moved == nullptr) throw std::bad_alloc();
    values_ = static_cast<Value*>(moved);
    capacity_ = capacity;
  }

  Value* values_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

class StepStore : public StepSink {
 public:
  void step(const Step& step) override {
    cycles_.push_back(step.cycle);
    outputs_.push_back(step.outputs);
    addresses_.push_back(step.address);
    const std::size_t bit = cycles_.size() - 1;
    if (bit % 64 == 0) went_round_.push_back(0);
    went_round_.back() |= std::uint64_t{step.jumps_back} << bit % 64;
  }
  void finish();

  std::size_t size() const { return cycles_.size(); }
  const std::uint64_t* cycles() const { return cycles_.data(); }
  const std::uint32_t* outputs() const { return outputs_.data(); }
  const std::uint32_t* addresses() const { return addresses_.data(); }
  // Step `index`'s length in cycles: to the next step, or the last one to `end_cycle`.
  std::uint64_t length(std::size_t index, std::uint64_t end_cycle) const {
    return (index + 1 < size() ? cycles_[index + 1] : end_cycle) - cycles_[index];
  }

  // Hands `sink` the steps again, as the run handed them out; `end` gives
  // the last one's length, and the program each step's command.
  void replay(const BoardProgram& program, const RunEnd& end, StepSink& sink) const;

 private:
  GrowingArray<std::uint64_t> cycles_;
  GrowingArray<std::uint32_t> outputs_;
  GrowingArray<std::uint32_t> addresses_;
  GrowingArray<std::uint64_t> went_round_;  // a bit per step
};
