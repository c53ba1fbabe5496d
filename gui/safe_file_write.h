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

// Writes `text` as write_text_in_place does through ReplacingFile (see
// replacing_file.h), so a failure leaves the old file intact, its links,
// access rights and attributes kept. Where no file can be made beside it (a
// folder that lets this one file be written and nothing else), the file is
// written in place.
WriteOutcome write_text_file(const std::string& path, std::string_view text);

// The one-line report of a failed write: "Error opening <path>." or
// "Error writing <path>.".
std::string write_failure_report(WriteOutcome outcome, const std::string& path);
