// Byte-by-byte input of a timing-program source, from a file or from memory.
// A carriage return directly followed by a line feed is read as the line feed
// alone, so CR LF and LF sources read alike on every platform; every other
// byte, 0x1A included, comes through unchanged.
#pragma once

#include <cstdio>
#include <string_view>
#include <vector>

class SourceReader {
 public:
  static constexpr int kEnd = -1;  // the end-of-file mark, unlike any byte

  SourceReader() = default;
  explicit SourceReader(std::string_view text);  // reads from memory
  ~SourceReader();
  SourceReader(const SourceReader&) = delete;
  SourceReader& operator=(const SourceReader&) = delete;

  // Opens a file in binary mode. False when it cannot be opened or read
  // (a missing file, a folder, no permission).
  bool open(const char* path);
  void close();

  // The next byte (0 to 255), or kEnd once the input is exhausted.
  int get() {
    if (position_ == size_ && !refill()) {
      reached_end_ = true;
      return kEnd;
    }
    unsigned char byte = static_cast<unsigned char>(data_[position_++]);
    if (byte == '\r' && take_line_feed()) return '\n';
    return byte;
  }

  // True once a read has met the end of the input.
  bool at_end() const { return reached_end_; }

 private:
  bool refill();
  bool take_line_feed();

  std::FILE* file_ = nullptr;
  std::vector<char> buffer_;
  const char* data_ = nullptr;
  size_t size_ = 0;
  size_t position_ = 0;
  bool reached_end_ = false;
};
