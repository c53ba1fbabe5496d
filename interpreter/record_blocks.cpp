#include "record_blocks.h"

#include <algorithm>
#include <cstdint>
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

// Blocks come straight from the system and go straight back to it when
// freed: from the C heap, a block freed early (see release_walked) could stay
// with the process.
char* allocate_block(std::size_t size, [[maybe_unused]] bool huge_pages) {
#ifdef __linux__
  // Mapped with room to cut an aligned block out of it.
  void* mapped = mmap(nullptr, size + kBlockSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  char* const start = static_cast<char*>(mapped);
  const std::size_t head = (kBlockSize - reinterpret_cast<std::uintptr_t>(start) % kBlockSize) % kBlockSize;
  if (head > 0) munmap(start, head);
  munmap(start + head + size, kBlockSize - head);
  char* const bytes = start + head;
  if (huge_pages) madvise(bytes, size, MADV_HUGEPAGE);
#else
  void* bytes = std::malloc(size);
  if (bytes == nullptr) throw std::bad_alloc();
#endif
  return static_cast<char*>(bytes);
}

}  // namespace

void RecordBlocks::FreeBlock::operator()(char* bytes) const {
#ifdef __linux__
  munmap(bytes, size);
#else
  std::free(bytes);
#endif
}

void RecordBlocks::add_block(std::size_t min_size) {
  const std::size_t size = (std::max(min_size, std::size_t{1}) + kBlockSize - 1) / kBlockSize * kBlockSize;
  Block block{std::unique_ptr<char, FreeBlock>(allocate_block(size, huge_pages_), FreeBlock{size}), 0};
  next_ = block.bytes.get();
  block_end_ = next_ + size;
  blocks_.push_back(std::move(block));
}
