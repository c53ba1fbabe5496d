#include "source_reader.h"

namespace {
constexpr size_t kBufferSize = 1 << 16;
}

SourceReader::SourceReader(std::string_view text) : data_(text.data()), size_(text.size()) {}

SourceReader::~SourceReader() { close(); }

bool SourceReader::open(const char* path) {
  close();
  file_ = std::fopen(path, "rb");
  if (file_ == nullptr) return false;
  buffer_.resize(kBufferSize);
  data_ = buffer_.data();
  size_ = position_ = 0;
  reached_end_ = false;
  // Reading once tells a readable file from a folder, which opens on some
  // systems but cannot be read.
  if (!refill() && std::ferror(file_)) {
    close();
    return false;
  }
  return true;
}

void SourceReader::close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

bool SourceReader::refill() {
  if (file_ == nullptr) return false;
  size_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
  position_ = 0;
  return size_ > 0;
}

// Looks at the byte after a carriage return, which may sit in the next block
// of the file: the unread rest of the block moves to the front first.
bool SourceReader::next_is_line_feed() {
  if (position_ < size_) return data_[position_] == '\n';
  if (file_ == nullptr) return false;
  int next = std::fgetc(file_);
  if (next == EOF) return false;
  // The byte read ahead becomes the block's only one; get() steps over a
  // line feed there just as over one inside a block.
  buffer_[0] = static_cast<char>(next);
  size_ = 1;
  position_ = 0;
  return next == '\n';
}
