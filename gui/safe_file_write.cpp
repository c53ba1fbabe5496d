#include "safe_file_write.h"

#include <windows.h>

#include <cstdio>
#include <filesystem>

#include "file_names.h"
#include "line_ends.h"
#include "replacing_file.h"

namespace {

// An existing file that refuses writing (read-only, a folder, in use) counts
// as not openable, exactly as opening it for writing would.
bool existing_file_refuses_writing(const std::filesystem::path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return true;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError() != ERROR_FILE_NOT_FOUND;
  CloseHandle(file);
  return false;
}

bool write_all(std::FILE* file, const std::string& bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

// Creates or truncates `path`, sharing it as fopen's "w" does.
WriteOutcome write_in_place(const std::filesystem::path& path, std::string_view text) {
  if (path.native().size() >= MAX_PATH) return WriteOutcome::NotOpened;
  std::FILE* file = open_file(path, "wb");
  if (file == nullptr) return WriteOutcome::NotOpened;
  const bool whole = write_all(file, with_crlf_line_ends(text));
  return std::fclose(file) == 0 && whole ? WriteOutcome::Written : WriteOutcome::NotWritten;
}

}  // namespace

WriteOutcome write_text_in_place(const std::string& path, std::string_view text) {
  return write_in_place(narrow_path(path.c_str()), text);
}

WriteOutcome write_text_file(const std::string& path, std::string_view text) {
  const std::filesystem::path name = narrow_path(path.c_str());
  if (existing_file_refuses_writing(name)) return WriteOutcome::NotOpened;
  ReplacingFile file{name};
  if (!file.open()) return write_in_place(file.target(), text);
  return write_all(file.file(), with_crlf_line_ends(text)) && file.commit() ? WriteOutcome::Written
                                                                              : WriteOutcome::NotWritten;
}

std::string write_failure_report(WriteOutcome outcome, const std::string& path) {
  const char* what = outcome == WriteOutcome::NotOpened ? "Error opening " : "Error writing ";
  return what + path + ".";
}
