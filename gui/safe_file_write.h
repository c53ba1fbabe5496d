// Writing text files: a saved file is replaced whole or not at all, keeping
// its links, access rights and attributes; Load's temporary source file is
// written in place.
#pragma once

#include <string>
#include <string_view>

enum class WriteOutcome {
  Written,
  NotOpened,   // the file cannot be written at all (read-only, no folder, ...)
  NotWritten,  // writing, closing or replacing failed
};

// Writes `text` as a text-mode write gives it (each LF becomes CR LF) into
// `path` itself, creating or truncating it.
WriteOutcome write_text_in_place(const std::string& path, std::string_view text);

// Writes `text` as write_text_in_place does into a new file beside the file
// `path` names and only when every write and the close have succeeded puts
// it in that file's place, so a failure leaves the old file intact.
// Where `path` is a link, the file it names is saved and the link stays.
// The new file is "<file>.saving", made by this save alone: a left-over one
// that a save cut short by a crash leaves (a plain file of this user's) is
// removed first; anything else at that name, a link above all, is never
// opened, written or removed, and "<file>.saving.1" to "<file>.saving.9"
// are tried instead. An existing file is replaced with ReplaceFileW and the
// new one takes over its access rights and attributes (hidden, system), so
// a file the setup program opened to ordinary users stays open to them.
// Where no file can be made beside it (a folder that lets this one file be
// written and nothing else), the file is written in place.
WriteOutcome write_text_file(const std::string& path, std::string_view text);

// The one-line report of a failed write: "Error opening <path>." or
// "Error writing <path>.".
std::string write_failure_report(WriteOutcome outcome, const std::string& path);
