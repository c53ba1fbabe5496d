// Input of a timing-program source, from a file or from memory, a block at
// a time. A carriage return directly followed by a line feed is read as the
// line feed alone, so CR LF and LF sources read alike on every platform.
// A UTF-8 byte-order mark at the very start is dropped, so that line 1's
// columns count from the text after it; every other byte, 0x1A and a mark
// further on included, comes through unchanged.
//
// A reader may also take a stretch of a source: the bytes from `begin` up
// to `end`. A stretch that starts further on than the source's first byte
// has no byte-order mark to drop.
#pragma once

#include <cstdint>
#include <cstdio>
#include <limits>
#include <string_view>
#include <vector>

class SourceReader {
 public:
  static constexpr std::uint64_t kToTheEnd = std::numeric_limits<std::uint64_t>::max();

  SourceReader() = default;
  // Reads from memory; `at_start` says whether the text begins the source.
  explicit SourceReader(std::string_view text, bool at_start = true);
  ~SourceReader();
  SourceReader(const SourceReader&) = delete;
  SourceReader& operator=(const SourceReader&) = delete;

  // Opens a file in binary mode, to read its bytes from `begin` up to `end`.
  // False when it cannot be opened or read (a missing file, a folder, no
  // permission).
  bool open(const char* path, std::uint64_t begin = 0, std::uint64_t end = kToTheEnd);
  void close();
  // The open file, for a caller that must tell which file it is; null for
  // text in memory or once closed.
  std::FILE* file() const { return file_; }

  // The next block of the source; empty once the source is exhausted. It
  // stays valid until the next call.
  std::string_view next_block();

 private:
  std::string_view read_block();
  std::size_t read_raw(char* out, std::size_t size);
  bool take_raw_line_feed();

  std::FILE* file_ = nullptr;
  std::uint64_t unread_ = 0;  // bytes of the file's stretch not read yet
  std::string_view text_;  // what is left of a source in memory
  std::vector<char> buffer_;
  std::string_view first_block_;  // read by open() and not handed out yet
};

// Moves `file` to byte `offset` from its start; false where it cannot.
bool seek_file(std::FILE* file, std::uint64_t offset);

// Editors such as Notepad start a UTF-8 file with these three bytes; they
// mark the encoding and are no program text.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// The length of the mark at the start of `text`: 3, or 0 where it has none.
inline std::size_t byte_order_mark_length(std::string_view text) {
  return text.substr(0, kByteOrderMark.size()) == kByteOrderMark ? kByteOrderMark.size() : 0;
}
