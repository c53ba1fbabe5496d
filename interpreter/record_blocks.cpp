#include "record_blocks.h"

#include <algorithm>

namespace {
// Large enough that allocation is rare.
constexpr std::size_t kBlockSize = 64 * 1024;
}

void RecordBlocks::add_block(std::size_t min_size) {
  const std::size_t size = std::max(kBlockSize, min_size);
  Block block;
  block.bytes.reset(new char[size]);
  next_ = block.bytes.get();
  block_end_ = next_ + size;
  blocks_.push_back(std::move(block));
}
