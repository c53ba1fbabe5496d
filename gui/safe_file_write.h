// Writing a text file so that a failure never costs the user the old file.
#pragma once

#include <string>
#include <string_view>

enum class WriteOutcome {
  Written,
  NotOpened,   // the file cannot be written at all (read-only, no folder, ...)
  NotWritten,  // writing, closing or replacing failed; the old file is intact
};

// Writes `text` in text mode (each LF becomes CR LF) into a new file beside
// `path` and only when every write and the close have succeeded puts it in
// the place of `path`.
WriteOutcome write_text_file(const std::string& path, std::string_view text);

// The one-line report of a failed write: "Error opening <path>." or
// "Error writing <path>.".
std::string write_failure_report(WriteOutcome outcome, const std::string& path);
