#include "safe_file_write.h"

#include <windows.h>

#include <cstdio>

namespace {

constexpr char kSavingSuffix[] = ".saving";
// GetTempFileNameA needs room for its own 14 characters after the folder.
constexpr std::size_t kLongestUniqueFileFolder = MAX_PATH - 14;

// An existing file that refuses writing (read-only, a folder, in use) counts
// as not openable, exactly as opening it for writing would.
bool existing_file_refuses_writing(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return true;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return false;
  }
  const DWORD error = GetLastError();
  return error != ERROR_FILE_NOT_FOUND;
}

bool write_and_close(std::FILE* file, std::string_view text) {
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}

std::FILE* open_for_writing(const std::string& path) {
  if (path.size() >= MAX_PATH) return nullptr;
  return std::fopen(path.c_str(), "w");
}

}  // namespace

WriteOutcome write_text_in_place(const std::string& path, std::string_view text) {
  std::FILE* file = open_for_writing(path);
  if (file == nullptr) return WriteOutcome::NotOpened;
  return write_and_close(file, text) ? WriteOutcome::Written : WriteOutcome::NotWritten;
}

WriteOutcome write_text_file(const std::string& path, std::string_view text) {
  if (existing_file_refuses_writing(path)) return WriteOutcome::NotOpened;
  const std::string temporary = path + kSavingSuffix;
  std::FILE* file = open_for_writing(temporary);
  if (file == nullptr) return write_text_in_place(path, text);
  if (!write_and_close(file, text) ||
      !MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(temporary.c_str());
    return WriteOutcome::NotWritten;
  }
  return WriteOutcome::Written;
}

bool create_unique_file(const std::string& folder, std::string& path) {
  if (folder.size() > kLongestUniqueFileFolder) return false;
  char name[MAX_PATH] = {};
  if (GetTempFileNameA(folder.empty() ? "." : folder.c_str(), "cdm", 0, name) == 0) return false;
  path = name;
  return true;
}

std::string write_failure_report(WriteOutcome outcome, const std::string& path) {
  const char* what = outcome == WriteOutcome::NotOpened ? "Error opening " : "Error writing ";
  return what + path + ".";
}
