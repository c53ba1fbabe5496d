#include "text_store.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

namespace {
constexpr std::size_t kBlockSize = 16 * 1024;
}

// The text being built must stay contiguous, so it moves to the new block.
// A block that held nothing but that text is freed, so one very long text
// costs about twice its length at most.
void TextStore::make_room() {
  const std::size_t text_size = static_cast<std::size_t>(next_ - text_start_);
  const std::size_t block_size = std::max(kBlockSize, 2 * text_size);
  std::unique_ptr<char[]> block(new char[block_size]);
  if (text_size > 0) std::memcpy(block.get(), text_start_, text_size);
  const bool old_block_held_only_this_text = !blocks_.empty() && text_start_ == blocks_.back().get();
  if (old_block_held_only_this_text) blocks_.pop_back();
  text_start_ = block.get();
  next_ = text_start_ + text_size;
  block_end_ = text_start_ + block_size;
  blocks_.push_back(std::move(block));
}

std::string_view TextStore::copy(std::string_view text) {
  if (static_cast<std::size_t>(block_end_ - next_) < text.size()) {
    begin_text();
    for (char c : text) append(c);
    return finish_text();
  }
  begin_text();
  if (!text.empty()) std::memcpy(next_, text.data(), text.size());
  next_ += text.size();
  return finish_text();
}

// The adopted blocks go before this store's own, whose last one is still
// the one being filled.
void TextStore::adopt(TextStore&& other) {
  blocks_.insert(blocks_.begin(), std::make_move_iterator(other.blocks_.begin()),
                 std::make_move_iterator(other.blocks_.end()));
  other = TextStore{};
}

void TextStore::swap(TextStore& other) noexcept {
  blocks_.swap(other.blocks_);
  std::swap(text_start_, other.text_start_);
  std::swap(next_, other.next_);
  block_end_ = std::exchange(other.block_end_, block_end_);
}
