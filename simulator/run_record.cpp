#include "run_record.h"

#include <algorithm>
#include <cmath>

namespace {

bool before(const RunRecord::Entry& entry, std::uint64_t cycle) { return entry.cycle < cycle; }

}  // namespace

void RunRecord::step(const Step& step) {
  const std::uint32_t before_step = entries_.empty() ? 0 : entries_.back().outputs;
  ever_changed_ |= before_step ^ step.outputs;
  const std::uint8_t markers = step_markers(step);
  ever_marked_ |= markers;
  entries_.push_back({step.cycle, step.address, step.outputs & kOutputMask, markers});
}

void RunRecord::finish(const RunEnd& end, std::uint64_t horizon) {
  total_ = std::max<std::uint64_t>(std::min(end.cycle, horizon), 1);
  if (end.reason != EndReason::Error || end.cycle > horizon) return;
  error_cycle_ = total_ - 1;
  ever_marked_ |= kErrorMarker;
}

const RunRecord::Entry* RunRecord::entry_at(std::uint64_t cycle) const {
  const auto after = std::upper_bound(entries_.begin(), entries_.end(), cycle,
                                      [](std::uint64_t at, const Entry& entry) { return at < entry.cycle; });
  return after == entries_.begin() ? nullptr : &*(after - 1);
}

DiagramModel RunRecord::model(const DiagramView& view, const PlotArea& plot, double clock_mhz) const {
  const std::uint64_t span = view.span();
  const std::uint64_t count = std::max<std::uint64_t>(
      1, std::min<std::uint64_t>(span, static_cast<std::uint64_t>(std::max(plot.width, 1.0))));
  std::vector<TimedBin> bins(count);
  // Bin k holds cycles from k * span / count on; the products stay exact
  // in floating point well past any run the board counts.
  const auto bin_start = [&](std::uint64_t k) {
    return static_cast<std::uint64_t>(std::floor(static_cast<long double>(k) * span / count));
  };
  for (std::uint64_t k = 0; k < count; ++k) bins[k].first = bin_start(k), bins[k].last = bin_start(k + 1);

  auto entry = std::lower_bound(entries_.begin(), entries_.end(), view.from, before);
  std::uint32_t outputs = entry == entries_.begin() ? 0 : (entry - 1)->outputs;
  DiagramSource source;
  source.carried_in = outputs;
  std::uint64_t k = 0;
  for (; entry != entries_.end() && entry->cycle < view.to; ++entry) {
    const std::uint64_t offset = entry->cycle - view.from;
    while (bins[k].last <= offset) ++k;
    DiagramBin& bin = bins[k].bin;
    if (!bin.touched) {
      bin.touched = true;
      bin.start_value = bin.end_value = outputs;
    }
    record_step(bin, entry->outputs, static_cast<std::uint8_t>(entry->markers));
    outputs = entry->outputs;
  }
  if (error_cycle_ >= view.from && error_cycle_ < view.to) {
    TimedBin& last = *std::find_if(bins.rbegin(), bins.rend(),
                                   [&](const TimedBin& b) { return b.first <= error_cycle_ - view.from; });
    if (!last.bin.touched) {
      last.bin.touched = true;
      last.bin.start_value = last.bin.end_value = outputs;
    }
    last.bin.markers |= kErrorMarker;
  }
  source.bins = &bins;
  source.span = span;
  source.start_ns = cycle_time_ns(view.from, clock_mhz);
  source.end_ns = cycle_time_ns(view.to, clock_mhz);
  source.ever_changed = ever_changed_;
  source.ever_marked = ever_marked_;
  return build_diagram(source, plot);
}
