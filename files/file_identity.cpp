#include "file_identity.h"

#include <cstdint>
#include <optional>
#include <system_error>
#include <utility>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

using Identity = std::pair<std::uint64_t, std::uint64_t>;  // the device, the file on it

// The device and file number of what the path names, following links; none
// when nothing is there.
#if defined(_WIN32)
std::optional<Identity> identity_of(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return std::nullopt;
  return Identity{info.dwVolumeSerialNumber, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

std::optional<Identity> identity(const fs::path& path) {
  HANDLE handle = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  const auto known = identity_of(handle);
  CloseHandle(handle);
  return known;
}

// Standard output's file, when it goes to a file on a disk.
std::optional<Identity> standard_output_file() {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out == INVALID_HANDLE_VALUE || out == nullptr || GetFileType(out) != FILE_TYPE_DISK) return std::nullopt;
  return identity_of(out);
}

// Windows file names do not tell letter case apart.
bool same_name(const fs::path& a, const fs::path& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}
#else
Identity identity_of(const struct stat& status) {
  return Identity{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

std::optional<Identity> identity(const fs::path& path) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0) return std::nullopt;
  return identity_of(status);
}

std::optional<Identity> standard_output_file() {
  struct stat status;
  if (fstat(1, &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  return identity_of(status);
}

bool same_name(const fs::path& a, const fs::path& b) { return a == b; }
#endif

fs::path folder_of(const fs::path& path) {
  std::error_code ignored;
  const fs::path folder = fs::absolute(path, ignored).parent_path();
  return folder.empty() ? fs::path(".") : folder;
}

}  // namespace

bool same_file(const fs::path& a, const fs::path& b) {
  const auto first = identity(a);
  const auto second = identity(b);
  if (first || second) return first == second;
  const auto folder = identity(folder_of(a));
  return folder && folder == identity(folder_of(b)) && same_name(a.filename(), b.filename());
}

bool is_standard_output(const fs::path& path) {
  const auto output = standard_output_file();
  return output && output == identity(path);
}
