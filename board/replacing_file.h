// A file that takes the place of another only once it is complete: it is
// written under a temporary name beside its target, made new for this write
// alone, and renamed over the target at the end. Until then the target keeps
// what it held, and a write that fails leaves nothing behind.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

class ReplacingFile {
 public:
  explicit ReplacingFile(std::filesystem::path target);
  // Removes the temporary file unless it was put in place.
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Makes the temporary file. It is always a new file (never one found under
  // its name, nor where a link there points); false with `error()` when the
  // target is a folder or no file can be made beside it.
  bool open();
  std::FILE* file() const { return file_; }

  // Sets aside room on the disk for `size` bytes in all, so that writing
  // that much cannot fail for want of space; false with `error()` when the
  // disk cannot hold them.
  bool reserve(std::uint64_t size);

  // Ends the file at what was written (room reserved past it is given back),
  // closes it and renames it over the target; false with `error()`, and the
  // temporary file removed, when any of that fails.
  bool commit();

  // Closes and removes the temporary file; the target stays as it was.
  void discard();

  // Why the last operation failed, as the system says it.
  const std::string& error() const { return error_; }

 private:
  bool fail(const std::string& why);

  std::filesystem::path target_;
  std::filesystem::path temporary_;
  std::FILE* file_ = nullptr;
  std::uint64_t reserved_ = 0;
  std::string error_;
};

// Removes the temporary files beside `target` that were left by a process
// which ended before it could put them in place (a crash, Ctrl-C); those of
// a process still running are theirs and stay.
void remove_stale_temporaries(const std::filesystem::path& target);

// fopen with the path in its system form (wide characters on Windows, since
// a folder name outside the ANSI code page has no narrow form).
std::FILE* open_file(const std::filesystem::path& path, const char* mode);
