#include "safe_file_write.h"

#include <windows.h>

#include <cstdio>

namespace {

// GetTempFileNameA needs room for its own 14 characters after the folder.
constexpr std::size_t kLongestTemporaryFolder = MAX_PATH - 14;

std::string folder_of(const std::string& path) {
  const std::size_t separator = path.find_last_of("\\/");
  if (separator == std::string::npos) return ".";
  if (separator == 0) return path.substr(0, 1);
  // "C:\name": the folder is the drive's root, backslash included.
  if (separator == 2 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, separator);
}

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

bool create_temporary_beside(const std::string& path, std::string& temporary) {
  const std::string folder = folder_of(path);
  if (folder.size() > kLongestTemporaryFolder) return false;
  char name[MAX_PATH] = {};
  if (GetTempFileNameA(folder.c_str(), "cdm", 0, name) == 0) return false;
  temporary = name;
  return true;
}

bool write_all(const std::string& temporary, std::string_view text) {
  std::FILE* file = std::fopen(temporary.c_str(), "w");
  if (file == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}

}  // namespace

WriteOutcome write_text_file(const std::string& path, std::string_view text) {
  if (existing_file_refuses_writing(path)) return WriteOutcome::NotOpened;
  std::string temporary;
  if (!create_temporary_beside(path, temporary)) return WriteOutcome::NotOpened;
  if (!write_all(temporary, text) ||
      !MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(temporary.c_str());
    return WriteOutcome::NotWritten;
  }
  return WriteOutcome::Written;
}

std::string write_failure_report(WriteOutcome outcome, const std::string& path) {
  const char* what = outcome == WriteOutcome::NotOpened ? "Error opening " : "Error writing ";
  return what + path + ".";
}
