#include "edge_search.h"

namespace {

bool level_of(std::uint32_t outputs, int bit) { return (outputs >> bit & 1) != 0; }

std::optional<std::uint64_t> next_edge(const RunRecord& run, int bit, std::uint64_t cycle) {
  const auto running = run.entry_at(cycle);
  const bool level = running && level_of(running->outputs, bit);
  std::optional<std::uint64_t> found;
  run.visit_from(cycle + 1, [&](const RunRecord::Entry& entry) {
    if (entry.cycle >= run.total_cycles()) return false;
    if (level_of(entry.outputs, bit) != level) found = entry.cycle;
    return !found;
  });
  return found;
}

// Walks from the run's start: a step's start is all the record can be
// asked from, so the change before a cycle is the last one met on the way.
std::optional<std::uint64_t> previous_edge(const RunRecord& run, int bit, std::uint64_t cycle) {
  bool level = false;
  std::optional<std::uint64_t> found;
  run.visit_from(0, [&](const RunRecord::Entry& entry) {
    if (entry.cycle >= cycle) return false;
    if (level_of(entry.outputs, bit) != level) found = entry.cycle;
    level = level_of(entry.outputs, bit);
    return true;
  });
  return found;
}

}  // namespace

std::optional<std::uint64_t> find_edge(const RunRecord& run, int bit, std::uint64_t cycle, EdgeDirection direction) {
  return direction == EdgeDirection::Next ? next_edge(run, bit, cycle) : previous_edge(run, bit, cycle);
}
