// Variable-length records stored back to back in large blocks that never
// move. Program lines are kept this way: a record takes only the bytes it
// needs, and nothing is copied as the store grows. So are texts that must
// outlive the tokens they came from, each a record handed out as a view that
// stays valid for the life of the store.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

class RecordBlocks {
 public:
  // Huge pages suit a store that fills many blocks (see record_blocks.cpp);
  // one that holds a few texts touches only the ordinary pages it fills.
  explicit RecordBlocks(bool huge_pages = true) : huge_pages_(huge_pages) {}

  // Room for one record of at most `max_size` bytes, contiguous; write it and
  // hand its end to end_record.
  char* begin_record(std::size_t max_size) {
    if (blocks_.empty() || static_cast<std::size_t>(block_end_ - next_) < max_size) add_block(max_size);
    return next_;
  }
  void end_record(char* end) {
    next_ = end;
    blocks_.back().used = static_cast<std::size_t>(next_ - blocks_.back().bytes.get());
  }

  // A lasting copy of `text`, as a record of its own.
  std::string_view copy(std::string_view text) {
    char* const out = begin_record(text.size());
    if (!text.empty()) std::memcpy(out, text.data(), text.size());
    end_record(out + text.size());
    return std::string_view(out, text.size());
  }

  // Walks the records in the order written.
  class Cursor {
   public:
    explicit Cursor(const RecordBlocks& blocks) : blocks_(&blocks) {}
    // The start of the next record, or null after the last one.
    const char* next() {
      while (block_ < blocks_->blocks_.size() && offset_ == blocks_->blocks_[block_].used) {
        ++block_;
        offset_ = 0;
      }
      if (block_ == blocks_->blocks_.size()) return nullptr;
      return blocks_->blocks_[block_].bytes.get() + offset_;
    }
    // Where the record that next() gave ends.
    void finish(const char* end) {
      offset_ = static_cast<std::size_t>(end - blocks_->blocks_[block_].bytes.get());
    }

   private:
    friend class RecordBlocks;
    const RecordBlocks* blocks_ = nullptr;
    std::size_t block_ = 0;
    std::size_t offset_ = 0;
  };

  // Frees the blocks `cursor` has walked past, on the last walk over a large
  // store, so that its memory goes back as the walk goes on. Their records
  // are not read again.
  void release_walked(const Cursor& cursor) {
    for (; released_ < cursor.block_; ++released_) blocks_[released_].bytes.reset();
  }

 private:
  struct FreeBlock {
    std::size_t size = 0;
    void operator()(char* bytes) const;
  };
  struct Block {
    std::unique_ptr<char, FreeBlock> bytes;
    std::size_t used = 0;
  };

  void add_block(std::size_t min_size);

  bool huge_pages_;
  std::vector<Block> blocks_;
  char* next_ = nullptr;
  char* block_end_ = nullptr;
  std::size_t released_ = 0;  // blocks before this one are freed
};

// Unsigned numbers in seven-bit groups, low group first; small numbers take
// one byte.
constexpr std::size_t kMaxVarintSize = 10;

inline char* write_varint(char* out, std::uint64_t value) {
  while (value >= 0x80) {
    *out++ = static_cast<char>((value & 0x7F) | 0x80);
    value >>= 7;
  }
  *out++ = static_cast<char>(value);
  return out;
}

inline std::uint64_t read_varint(const char*& in) {
  std::uint64_t value = 0;
  for (unsigned shift = 0;; shift += 7) {
    const auto byte = static_cast<unsigned char>(*in++);
    value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
    if (byte < 0x80) return value;
  }
}
