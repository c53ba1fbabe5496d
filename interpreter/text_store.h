// Storage for texts that must outlive the tokens they came from (label
// names, variable names and values): characters appended into large blocks
// that never move, so a finished text can be handed out as a view that stays
// valid for the life of the store.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

class TextStore {
 public:
  TextStore() = default;
  TextStore(TextStore&& other) noexcept { swap(other); }
  TextStore& operator=(TextStore&& other) noexcept {
    TextStore moved(std::move(other));
    swap(moved);
    return *this;
  }
  TextStore(const TextStore&) = delete;
  TextStore& operator=(const TextStore&) = delete;

  // Starts a new text; characters appended from now on belong to it.
  void begin_text() { text_start_ = next_; }
  void append(char c) {
    if (next_ == block_end_) make_room();
    *next_++ = c;
  }
  // The text appended since begin_text().
  std::string_view finish_text() const {
    return std::string_view(text_start_, static_cast<std::size_t>(next_ - text_start_));
  }

  // A lasting copy of `text`.
  std::string_view copy(std::string_view text);

  // Keeps the texts of `other` alive as long as this store.
  void adopt(TextStore&& other);

 private:
  void make_room();
  void swap(TextStore& other) noexcept;

  std::vector<std::unique_ptr<char[]>> blocks_;
  char* text_start_ = nullptr;
  char* next_ = nullptr;
  char* block_end_ = nullptr;
};
