#include "record_blocks.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace {

// A block is as large as one huge page. The first touch of each page of
// fresh memory costs a fault in the kernel, and a large program's lines fill
// thousands of ordinary 4 KB pages; on Linux the blocks are aligned to and
// marked for transparent huge pages, which take one fault per 2 MB where the
// system allows them. Memory that is never touched costs nothing either way.
constexpr std::size_t kBlockSize = 2 * 1024 * 1024;

char* allocate_block(std::size_t size, [[maybe_unused]] bool huge_pages) {
#ifdef __linux__
  void* bytes = std::aligned_alloc(kBlockSize, size);
  if (bytes != nullptr && huge_pages) madvise(bytes, size, MADV_HUGEPAGE);
#else
  void* bytes = std::malloc(size);
#endif
  if (bytes == nullptr) throw std::bad_alloc();
  return static_cast<char*>(bytes);
}

}  // namespace

void RecordBlocks::FreeBlock::operator()(char* bytes) const { std::free(bytes); }

void RecordBlocks::add_block(std::size_t min_size) {
  const std::size_t size = (std::max(min_size, std::size_t{1}) + kBlockSize - 1) / kBlockSize * kBlockSize;
  Block block;
  block.bytes.reset(allocate_block(size, huge_pages_));
  next_ = block.bytes.get();
  block_end_ = next_ + size;
  blocks_.push_back(std::move(block));
}
