// Input of a timing-program source, from a file or from memory, a block at
// a time. A carriage return directly followed by a line feed is read as the
// line feed alone, so CR LF and LF sources read alike on every platform.
// A UTF-8 byte-order mark at the very start is dropped, so that line 1's
// columns count from the text after it; every other byte, 0x1A and a mark
// further on included, comes through unchanged.
#pragma once

#include <cstdio>
#include <string_view>
#include <vector>

class SourceReader {
 public:
  SourceReader() = default;
  explicit SourceReader(std::string_view text);  // reads from memory
  ~SourceReader();
  SourceReader(const SourceReader&) = delete;
  SourceReader& operator=(const SourceReader&) = delete;

  // Opens a file in binary mode. False when it cannot be opened or read
  // (a missing file, a folder, no permission).
  bool open(const char* path);
  void close();

  // The next block of the source; empty once the source is exhausted. It
  // stays valid until the next call.
  std::string_view next_block();

 private:
  std::string_view read_block();
  std::size_t read_raw(char* out, std::size_t size);
  bool take_raw_line_feed();

  std::FILE* file_ = nullptr;
  std::string_view text_;  // what is left of a source in memory
  std::vector<char> buffer_;
  std::string_view first_block_;  // read by open() and not handed out yet
};
