#include "replacing_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>

#if defined(_WIN32)
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr char kTemporaryTag[] = ".tmp";

// Room is set aside in steps that grow with the file, so that a large file
// costs a few dozen requests to the disk, not one per write.
constexpr std::uint64_t kSmallestStep = 64 * 1024;
constexpr std::uint64_t kLargestStep = 8 * 1024 * 1024;

std::string system_message(int error) { return std::generic_category().message(error); }

#if defined(_WIN32)
int current_process_id() { return _getpid(); }

int create_new(const fs::path& path) {
  return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}

std::FILE* stream_of(int descriptor) { return _fdopen(descriptor, "wb"); }

long long position(std::FILE* file) { return _ftelli64(file); }

int set_size(std::FILE* file, std::uint64_t size) {
  return _chsize_s(_fileno(file), static_cast<long long>(size));
}

// Sets aside the disk's room for `size` bytes in all. Windows extends a file
// with real zeros, so the disk holds the room either way.
int make_room(std::FILE* file, std::uint64_t size) { return set_size(file, size); }

bool process_running(long id) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
  if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
  DWORD status = 0;
  const bool running = GetExitCodeProcess(process, &status) && status == STILL_ACTIVE;
  CloseHandle(process);
  return running;
}
#else
int current_process_id() { return getpid(); }

// O_EXCL refuses any existing name, a link included, so the file written is
// always the one made here.
int create_new(const fs::path& path) { return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666); }

std::FILE* stream_of(int descriptor) { return fdopen(descriptor, "wb"); }

long long position(std::FILE* file) { return ftello(file); }

int set_size(std::FILE* file, std::uint64_t size) {
  return ftruncate(fileno(file), static_cast<off_t>(size)) == 0 ? 0 : errno;
}

// Linux sets the blocks aside without writing them.
int make_room(std::FILE* file, std::uint64_t size) { return posix_fallocate(fileno(file), 0, static_cast<off_t>(size)); }

bool process_running(long id) { return id > 0 && (kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM); }
#endif

// Replacing a file that another program is reading fails on Windows until
// the reader lets go, so the rename is tried a few times before giving up.
void rename_over(const fs::path& from, const fs::path& to, std::error_code& error) {
  for (int attempt = 0; attempt < 50; ++attempt) {
    fs::rename(from, to, error);
    if (!error) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

fs::path temporary_name(const fs::path& target, unsigned number) {
  fs::path temporary = target;
  temporary += kTemporaryTag + std::to_string(current_process_id()) + "-" + std::to_string(number);
  return temporary;
}

// The process that made a temporary file "<target>.tmp<process>-<n>", or 0
// when `name` is not one of ours. Names stay in the system's form: a user's
// file beside the target may have no narrow one.
long temporary_owner(const fs::path::string_type& name, const fs::path::string_type& prefix) {
  if (name.compare(0, prefix.size(), prefix) != 0) return 0;
  long owner = 0;
  std::size_t i = prefix.size();
  for (; i < name.size() && name[i] >= '0' && name[i] <= '9' && owner < 1'000'000'000; ++i)
    owner = owner * 10 + (name[i] - '0');
  return i > prefix.size() && i < name.size() && name[i] == '-' ? owner : 0;
}

}  // namespace

ReplacingFile::ReplacingFile(fs::path target) : target_(std::move(target)) {}

ReplacingFile::~ReplacingFile() { discard(); }

bool ReplacingFile::open() {
  std::error_code ignored;
  if (fs::is_directory(target_, ignored)) return fail("it is a folder");
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = temporary_name(target_, counter++);
    const int descriptor = create_new(candidate);
    if (descriptor < 0 && errno == EEXIST) continue;
    if (descriptor < 0) return fail(system_message(errno));
    temporary_ = candidate;
    file_ = stream_of(descriptor);
    if (file_ == nullptr) return fail(system_message(errno));
    reserved_ = 0;
    error_.clear();
    return true;
  }
  return fail("no unused temporary name");
}

bool ReplacingFile::reserve(std::uint64_t size) {
  if (size <= reserved_) return true;
  if (file_ == nullptr) return fail("the file is not open");
  const std::uint64_t step = std::min(std::max(reserved_, kSmallestStep), kLargestStep);
  // A step that does not fit is not yet a failure: the bytes asked for may.
  if (make_room(file_, reserved_ + step) == 0 && reserved_ + step >= size) {
    reserved_ += step;
    return true;
  }
  if (const int error = make_room(file_, size); error != 0) return fail(system_message(error));
  reserved_ = size;
  return true;
}

bool ReplacingFile::commit() {
  if (file_ == nullptr) return fail("the file is not open");
  int error = std::fflush(file_) == 0 ? 0 : errno;
  if (error == 0 && reserved_ > 0) {
    const long long end = position(file_);
    error = end < 0 ? errno : set_size(file_, static_cast<std::uint64_t>(end));
  }
  if (std::fclose(file_) != 0 && error == 0) error = errno;
  file_ = nullptr;
  if (error != 0) {
    discard();
    return fail(system_message(error));
  }
  std::error_code renamed;
  rename_over(temporary_, target_, renamed);
  if (renamed) {
    discard();
    return fail(renamed.message());
  }
  temporary_.clear();
  return true;
}

void ReplacingFile::discard() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (temporary_.empty()) return;
  std::error_code ignored;
  fs::remove(temporary_, ignored);
  temporary_.clear();
}

bool ReplacingFile::fail(const std::string& why) {
  error_ = why;
  return false;
}

void remove_stale_temporaries(const fs::path& target) {
  fs::path prefix = target.filename();
  prefix += kTemporaryTag;
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::error_code error;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    const long owner = temporary_owner(entry->path().filename().native(), prefix.native());
    if (owner == 0 || owner == current_process_id() || process_running(owner)) continue;
    std::error_code ignored;
    if (entry->is_regular_file(ignored)) fs::remove(entry->path(), ignored);
  }
}

std::FILE* open_file(const fs::path& path, const char* mode) {
#if defined(_WIN32)
  const std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(path.c_str(), wide_mode.c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}
