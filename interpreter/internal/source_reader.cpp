#include "source_reader.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "replacing_file.h"

namespace {

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

SourceReader::~SourceReader() {
  if (file_ != nullptr) std::fclose(file_);
}

bool SourceReader::open(const std::filesystem::path& path) {
  file_ = open_file(path, "rb");
  if (file_ == nullptr) return false;
  // Reading a byte tells a readable file from a folder, which opens on some
  // systems but cannot be read.
  const int first = std::fgetc(file_);
  if (first == EOF) return std::ferror(file_) == 0;
  std::ungetc(first, file_);
  return true;
}

// A carriage return that ends the block pairs with a line feed that starts
// the next one: that line feed is taken into this block in its place.
std::size_t SourceReader::read(char* out, std::size_t size) {
  std::size_t got = read_raw(out, size);
  if (std::exchange(at_start_, false) && std::string_view(out, got).substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    got -= kByteOrderMark.size();
    std::memmove(out, out + kByteOrderMark.size(), got);
  }
  if (got == 0) return 0;
  char* const end = fold_line_ends(out, out + got);
  if (end[-1] == '\r' && take_raw_line_feed()) end[-1] = '\n';
  return static_cast<std::size_t>(end - out);
}

std::size_t SourceReader::read_raw(char* out, std::size_t size) {
  if (file_ != nullptr) return std::fread(out, 1, size, file_);
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
  const int next = std::fgetc(file_);
  if (next == '\n') return true;
  if (next != EOF) std::ungetc(next, file_);
  return false;
}
