#include "run_record.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::size_t kCheckpointEvery = 256;

}  // namespace

void RunRecord::step(const Step& step) {
  if (step.address >= instructions_.size()) instructions_.resize(step.address + 1);
  Instruction& instruction = instructions_[step.address];
  if (instruction.cycles == 0) {  // first met: every step has a length
    Step plain = step;
    plain.jumps_back = false;
    instruction = {step.cycles, step.outputs & kOutputMask, step_markers(plain)};
  }
  if ((steps_.size() % kCheckpointEvery) == 0 || step.cycle != next_cycle_)
    checkpoints_.push_back({steps_.size(), step.cycle});
  next_cycle_ = step.cycle + instruction.cycles;
  summary_.record(step.cycle, instruction.outputs, step_markers(step));
  steps_.push_back(step.address << 1 | (step.jumps_back ? 1u : 0u));
}

std::uint8_t RunRecord::markers_of(std::uint32_t kept) const {
  return instructions_[kept >> 1].markers | ((kept & 1) != 0 ? kLoopMarker : 0);
}

void RunRecord::advance(Cursor& cursor) const {
  cursor.cycle += instructions_[steps_[cursor.step] >> 1].cycles;
  ++cursor.step;
  if (cursor.next_checkpoint < checkpoints_.size() && checkpoints_[cursor.next_checkpoint].step == cursor.step)
    cursor.cycle = checkpoints_[cursor.next_checkpoint++].cycle;
}

// The first step starting at or after `cycle` (one past the last when none).
RunRecord::Cursor RunRecord::cursor_at(std::uint64_t cycle) const {
  const auto after = std::upper_bound(checkpoints_.begin(), checkpoints_.end(), cycle,
                                      [](std::uint64_t at, const Checkpoint& mark) { return at < mark.cycle; });
  if (after == checkpoints_.begin()) return {0, checkpoints_.empty() ? 0 : checkpoints_.front().cycle, 1};
  const Checkpoint& mark = *(after - 1);
  Cursor cursor{mark.step, mark.cycle, static_cast<std::size_t>(after - checkpoints_.begin())};
  while (cursor.step < steps_.size() && cursor.cycle < cycle) advance(cursor);
  return cursor;
}

void RunRecord::finish(const RunEnd& end, std::uint64_t horizon) {
  total_ = std::max<std::uint64_t>(std::min(end.cycle, horizon), 1);
  error_cycle_ = error_mark(end, CycleWindow{0, horizon});
}

std::optional<RunRecord::Entry> RunRecord::entry_at(std::uint64_t cycle) const {
  const auto after = std::upper_bound(checkpoints_.begin(), checkpoints_.end(), cycle,
                                      [](std::uint64_t at, const Checkpoint& mark) { return at < mark.cycle; });
  if (after == checkpoints_.begin()) return std::nullopt;
  // From the checkpoint before it, on while the next step has started by then.
  Cursor cursor{(after - 1)->step, (after - 1)->cycle, static_cast<std::size_t>(after - checkpoints_.begin())};
  while (cursor.step + 1 < steps_.size()) {
    Cursor next = cursor;
    advance(next);
    if (next.cycle > cycle) break;
    cursor = next;
  }
  const std::uint32_t address = steps_[cursor.step] >> 1;
  return Entry{cursor.cycle, address, instructions_[address].outputs};
}

void RunRecord::visit_from(std::uint64_t cycle, const std::function<bool(const Entry&)>& visit) const {
  for (Cursor cursor = cursor_at(cycle); cursor.step < steps_.size(); advance(cursor)) {
    const std::uint32_t address = steps_[cursor.step] >> 1;
    if (!visit(Entry{cursor.cycle, address, instructions_[address].outputs})) return;
  }
}

void RunRecord::bin_steps(const DiagramView& view, std::uint32_t outputs, std::vector<TimedBin>& bins) const {
  std::size_t k = 0;
  for (Cursor cursor = cursor_at(view.from); cursor.step < steps_.size() && cursor.cycle < view.to; advance(cursor)) {
    const std::uint64_t offset = cursor.cycle - view.from;
    while (bins[k].last <= offset) ++k;
    const std::uint32_t kept = steps_[cursor.step];
    bins[k].bin.touch(outputs);
    outputs = instructions_[kept >> 1].outputs;
    record_step(bins[k].bin, outputs, markers_of(kept));
  }
}

// Wide spans from the summary: each summary bin goes whole into the pixel
// its start falls on, which it is no wider than.
void RunRecord::bin_summary(const DiagramView& view, std::vector<TimedBin>& bins) const {
  std::size_t k = 0;
  const unsigned shift = summary_.shift();
  const std::uint64_t last = std::min<std::uint64_t>((view.to - 1) >> shift, summary_.bins().size() - 1);
  for (std::uint64_t j = view.from >> shift; j <= last; ++j) {
    const std::uint64_t offset = std::max(j << shift, view.from) - view.from;
    while (bins[k].last <= offset) ++k;
    merge_into(bins[k].bin, summary_.bins()[j]);
  }
}

DiagramModel RunRecord::model(const DiagramView& view, const PlotArea& plot, double clock_mhz,
                              const OutputLabels* labels) const {
  const std::uint64_t span = view.span();
  const std::uint64_t count =
      std::max<std::uint64_t>(1, std::min<std::uint64_t>(span, static_cast<std::uint64_t>(std::max(plot.width, 1.0))));
  std::vector<TimedBin> bins(count);
  // Bin k holds cycles from k * span / count on.
  const auto bin_start = [&](std::uint64_t k) {
    return static_cast<std::uint64_t>(std::floor(static_cast<long double>(k) * span / count));
  };
  for (std::uint64_t k = 0; k < count; ++k) bins[k].first = bin_start(k), bins[k].last = bin_start(k + 1);
  const std::uint32_t carried_in = view.from == 0 ? 0 : entry_at(view.from - 1).value_or(Entry{0, 0, 0}).outputs;
  const bool wide = summary_.shift() > 0 && span / count >= (std::uint64_t{1} << summary_.shift());
  if (wide)
    bin_summary(view, bins);
  else
    bin_steps(view, carried_in, bins);
  DiagramSource source;
  source.bins = &bins;
  source.from = view.from;
  source.span = span;
  source.clock_mhz = clock_mhz;
  source.carried_in = carried_in;
  source.ever_changed = summary_.ever_changed;
  source.ever_marked = summary_.ever_marked;
  source.error_cycle = error_cycle_;
  source.labels = labels;
  return build_diagram(source, plot);
}
