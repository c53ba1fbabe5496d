// A file that takes the place of another only once it is complete: it is
// written under a temporary name beside its target, "<target>.tmp<process>-<n>",
// made new for this write alone, and put over the target at the end. Until
// then the target keeps what it held, and a write that fails leaves nothing
// behind. The one writer of whole files for every program here.
//
// - A link stays a link: the file it names is written (made when missing).
// - What no file can take the place of (a device such as /dev/null or NUL,
//   a FIFO, a pipe reached through /proc/self/fd) is written directly.
// - On Windows the new file keeps the target's access list and its hidden
//   and system attributes, and ReplaceFileW puts it in place.
// - A writer holds its temporary file locked while it lives (an exclusive
//   lock on Linux, a share mode that refuses removal on Windows); a file at
//   a temporary name that nobody holds was left by a writer that ended
//   before putting it in place, and the next writer of that target removes
//   it, if it is a plain file of this user's with one name. Links and
//   anything else there are never opened for writing or removed.
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

  // Removes the stale temporary files beside the target and makes a new
  // one; false with `error()` when the target is a folder or no file can be
  // made beside it.
  bool open();
  std::FILE* file() const { return file_; }
  // The file written: the target with its links followed, once open.
  const std::filesystem::path& target() const { return target_; }

  // Sets aside room on the disk for `size` bytes in all, so that writing
  // that much cannot fail for want of space; false with `error()` when the
  // disk cannot hold them.
  bool reserve(std::uint64_t size);

  // Ends the file at what was written (room reserved past it is given back),
  // and puts it over the target; false with `error()`, and the temporary
  // file removed, when any of that fails.
  bool commit();

  // Closes and removes the temporary file; the target stays as it was.
  void discard();

  // Why the last operation failed, as the system says it.
  const std::string& error() const { return error_; }

 private:
  bool fail(const std::string& why);

  std::filesystem::path target_;
  std::filesystem::path temporary_;  // empty where the target is written directly
  std::FILE* file_ = nullptr;
  std::uint64_t reserved_ = 0;
  int registration_ = -1;
  std::string error_;
};

// Removes the temporary files beside `target` that no writer holds.
void remove_stale_temporaries(const std::filesystem::path& target);

// From now on an interrupt, a termination or a broken pipe first removes
// this process's temporary files, then ends it as it would have; for
// programs, never the board library, whose host owns its signals. Linux only.
void remove_temporaries_on_interrupt();

// fopen with the path in its system form (wide characters on Windows, since
// a folder name outside the ANSI code page has no narrow form).
std::FILE* open_file(const std::filesystem::path& path, const char* mode);
