// Runs arbitrary board programs through the simulator and every writer, and
// checks what must hold for any program: the run ends within its step
// limit, steps follow one another without gaps, and the run ends where its
// last step does (or, for a length error, where the faulty one would start).
// The same bytes also go through the board-file reader.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "board_file.h"
#include "diagram_writer.h"
#include "instruction.h"
#include "run_record.h"
#include "simulation.h"
#include "timeline_writer.h"
#include "timing_checks.h"
#include "vcd_writer.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool empty() const { return size_ == 0; }
  template <typename T>
  T take() {
    T value{};
    const std::size_t count = std::min(sizeof value, size_);
    std::memcpy(&value, data_, count);
    data_ += count;
    size_ -= count;
    return value;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

// Small values most of the time, so that jumps land inside the program and
// loops close; raw bits otherwise.
std::int32_t take_data(Bytes& bytes) {
  const auto choice = bytes.take<std::uint8_t>();
  if (choice < 200) return static_cast<std::int32_t>(choice % 24) - 2;
  return bytes.take<std::int32_t>();
}

double take_duration(Bytes& bytes) {
  const auto choice = bytes.take<std::uint8_t>();
  if (choice < 220) return choice * 3.7;
  return bytes.take<double>();
}

class CheckedSteps : public StepSink {
 public:
  explicit CheckedSteps(std::uint64_t max_steps) : max_steps_(max_steps) {}
  void step(const Step& step) override {
    require(step.cycle == next_cycle_);
    require(step.cycles >= 1 && step.cycles < kCycleLimit);
    require(step.outputs <= 0xFFFFFF);
    next_cycle_ = step.cycle + step.cycles;
    require(++steps_ <= max_steps_);
    seen_.push_back(step);
  }
  std::uint64_t next_cycle_ = 0;
  std::uint64_t steps_ = 0;
  std::vector<Step> seen_;

 private:
  std::uint64_t max_steps_;
};

class Fan : public StepSink {
 public:
  Fan(StepSink& a, StepSink& b, StepSink& c, StepSink& d, StepSink& e) : sinks_{&a, &b, &c, &d, &e} {}
  void step(const Step& step) override {
    for (StepSink* sink : sinks_) sink->step(step);
  }

 private:
  StepSink* sinks_[5];
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  parse_board_program(std::string_view(reinterpret_cast<const char*>(data), size));

  static std::FILE* sink_file = std::fopen("/dev/null", "wb");
  Bytes bytes(data, size);
  BoardProgram program;
  program.clock_mhz = 1 + bytes.take<std::uint8_t>() * 1.7;
  SimulationSettings settings;
  settings.max_steps = bytes.take<std::uint16_t>() % 5000;
  settings.until_ns = bytes.take<std::uint16_t>() * 37.0;
  settings.wait_ns = bytes.take<std::uint8_t>() * 11.0;
  settings.depth = bytes.take<std::uint8_t>() % 12;
  while (!bytes.empty() && program.instructions.size() < 64) {
    InstructionFields instruction;
    instruction.output_value = bytes.take<std::uint32_t>();
    instruction.opcode = static_cast<std::int32_t>(bytes.take<std::uint8_t>() % 11) - 1;
    instruction.data = take_data(bytes);
    instruction.duration_ns = take_duration(bytes);
    program.instructions.push_back(instruction);
  }

  check_timing(program, {});
  CheckedSteps checked(settings.max_steps);
  TextOutput out(sink_file);
  const std::vector<unsigned> no_lines;
  const WriterSettings writing{program.clock_mhz, {}, {}, std::nullopt};
  TimelineWriter timeline(out, writing, no_lines);
  VcdWriter vcd(out, writing);
  DiagramWriter diagram(writing, "fuzz");
  RunRecord record;
  Fan fan(checked, timeline, vcd, diagram, record);
  const RunEnd end = simulate(program, settings, fan);

  require(end.steps == checked.steps_);
  require(end.cycle == checked.next_cycle_);
  require(end.reason != EndReason::Error || !end.error.empty());
  timeline.finish(end, end.error);
  vcd.finish(end);
  diagram.write(sink_file, end);
  unreached_ranges(end.reached, no_lines);

  // The timing view's record finds every step again from its start cycle,
  // and draws any part of the run.
  record.finish(end, first_cycle_at(settings.until_ns, program.clock_mhz));
  for (const Step& step : checked.seen_) {
    const auto entry = record.entry_at(step.cycle);
    require(entry && entry->cycle == step.cycle && entry->address == step.address && entry->outputs == step.outputs);
  }
  DiagramView view = DiagramView::whole(record.total_cycles());
  record.model(view, PlotArea{72, 300}, program.clock_mhz);
  view.zoom(0.01, 120, 300);
  record.model(view, PlotArea{72, 300}, program.clock_mhz);
  return 0;
}
