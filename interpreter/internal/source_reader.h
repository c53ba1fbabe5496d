// Input of a timing-program source, from a file or from memory, into the
// caller's buffer a block at a time. A carriage return directly followed by
// a line feed is read as the line feed alone, so CR LF and LF sources read
// alike on every platform. A UTF-8 byte-order mark at the very start is
// dropped, so that line 1's columns count from the text after it; every
// other byte, 0x1A and a mark further on included, comes through unchanged.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string_view>

class SourceReader {
 public:
  SourceReader() = default;
  explicit SourceReader(std::string_view text) : text_(text) {}
  ~SourceReader();
  SourceReader(const SourceReader&) = delete;
  SourceReader& operator=(const SourceReader&) = delete;

  // Opens a file in binary mode. False when it cannot be opened or read (a
  // missing file, a folder, no permission).
  bool open(const std::filesystem::path& path);

  // Reads up to `size` bytes of the source into `out`; 0 once the source is
  // exhausted.
  std::size_t read(char* out, std::size_t size);

 private:
  std::size_t read_raw(char* out, std::size_t size);
  bool take_raw_line_feed();

  std::FILE* file_ = nullptr;
  std::string_view text_;  // what is left of a source in memory
  bool at_start_ = true;
};

// Editors such as Notepad start a UTF-8 file with these three bytes; they
// mark the encoding and are no program text.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
