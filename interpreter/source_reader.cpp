#include "source_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

constexpr std::size_t kBufferSize = 1 << 16;

// Drops every carriage return that a line feed follows within [begin, end);
// returns the new end.
char* fold_line_ends(char* begin, char* end) {
  char* out = static_cast<char*>(std::memchr(begin, '\r', static_cast<std::size_t>(end - begin)));
  if (out == nullptr) return end;
  for (const char* in = out; in != end; ++in) {
    if (*in == '\r' && in + 1 != end && in[1] == '\n') continue;
    *out++ = *in;
  }
  return out;
}

}  // namespace

bool seek_file(std::FILE* file, std::uint64_t offset) {
#ifdef _WIN32
  return offset <= std::uint64_t{INT64_MAX} && _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
  return offset <= std::uint64_t{INT64_MAX} && fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

SourceReader::SourceReader(std::string_view text, bool at_start)
    : text_(at_start ? text.substr(byte_order_mark_length(text)) : text), buffer_(kBufferSize) {}

SourceReader::~SourceReader() { close(); }

bool SourceReader::open(const char* path, std::uint64_t begin, std::uint64_t end) {
  close();
  text_ = {};
  file_ = std::fopen(path, "rb");
  if (file_ == nullptr) return false;
  if (begin > 0 && !seek_file(file_, begin)) {
    close();
    return false;
  }
  unread_ = end - begin;
  buffer_.resize(kBufferSize);
  // Reading once tells a readable file from a folder, which opens on some
  // systems but cannot be read.
  first_block_ = read_block();
  if (begin == 0) first_block_.remove_prefix(byte_order_mark_length(first_block_));
  if (first_block_.empty() && std::ferror(file_)) {
    close();
    return false;
  }
  return true;
}

void SourceReader::close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

std::string_view SourceReader::next_block() {
  if (!first_block_.empty()) return std::exchange(first_block_, {});
  return read_block();
}

// A carriage return that ends the block pairs with a line feed that starts
// the next one: that line feed is taken into this block in its place.
std::string_view SourceReader::read_block() {
  const std::size_t size = read_raw(buffer_.data(), buffer_.size());
  if (size == 0) return {};
  char* const begin = buffer_.data();
  char* const end = fold_line_ends(begin, begin + size);
  if (end[-1] == '\r' && take_raw_line_feed()) end[-1] = '\n';
  return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

std::size_t SourceReader::read_raw(char* out, std::size_t size) {
  if (file_ != nullptr) {
    size = static_cast<std::size_t>(std::min<std::uint64_t>(size, unread_));
    const std::size_t got = size > 0 ? std::fread(out, 1, size, file_) : 0;
    unread_ -= got;
    return got;
  }
  size = std::min(size, text_.size());
  if (size > 0) std::memcpy(out, text_.data(), size);
  text_.remove_prefix(size);
  return size;
}

// Consumes the next byte of the source when it is a line feed.
bool SourceReader::take_raw_line_feed() {
  if (file_ == nullptr) {
    if (text_.empty() || text_.front() != '\n') return false;
    text_.remove_prefix(1);
    return true;
  }
  if (unread_ == 0) return false;
  const int next = std::fgetc(file_);
  if (next == '\n') {
    --unread_;
    return true;
  }
  if (next != EOF) std::ungetc(next, file_);
  return false;
}
