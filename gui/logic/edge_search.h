// Where an output of a kept run changes next, or last changed, as seen
// from a cycle: the timing view's keys that move a cursor from edge to edge.
#pragma once

#include <cstdint>
#include <optional>

#include "run_record.h"

enum class EdgeDirection { Next, Previous };

// The cycle of the nearest change of output `bit` strictly after (Next) or
// strictly before (Previous) `cycle`, within the run's shown cycles; none
// when it has none there. Before the first step every output is low, so a
// first step that sets an output is an edge.
std::optional<std::uint64_t> find_edge(const RunRecord& run, int bit, std::uint64_t cycle, EdgeDirection direction);
