#include "replacing_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

#if defined(_WIN32)
#include <io.h>
#include <process.h>
#include <share.h>
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#else
#include <sys/file.h>
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
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// What a new file takes over from the one it replaces.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

int current_process_id() { return _getpid(); }

HANDLE open_existing(const fs::path& path, DWORD access, DWORD flags = FILE_FLAG_BACKUP_SEMANTICS) {
  return CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr);
}

bool starts_with(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

// The name the file system keeps for an open file, links resolved, without
// the "\\?\" GetFinalPathNameByHandleW puts before it; "" when it has none.
std::wstring final_name(HANDLE file) {
  constexpr DWORD kForm = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
  std::vector<wchar_t> buffer(GetFinalPathNameByHandleW(file, nullptr, 0, kForm));
  if (buffer.empty()) return L"";
  const DWORD size = GetFinalPathNameByHandleW(file, buffer.data(), static_cast<DWORD>(buffer.size()), kForm);
  if (size == 0 || size >= buffer.size()) return L"";
  const std::wstring name(buffer.data(), size);
  if (starts_with(name, L"\\\\?\\UNC\\")) return L"\\" + name.substr(7);
  if (starts_with(name, L"\\\\?\\")) return name.substr(4);
  return name;
}

// The file `path` names, links followed; a path that names nothing yet as
// it is.
fs::path followed(const fs::path& path) {
  HANDLE file = open_existing(path, 0);
  if (file == INVALID_HANDLE_VALUE) return path;
  const std::wstring name = final_name(file);
  CloseHandle(file);
  return name.empty() ? path : fs::path(name);
}

// Something that exists and is no file on a disk: NUL, a console, a pipe.
bool is_special(const fs::path& path) {
  HANDLE file = open_existing(path, 0);
  if (file == INVALID_HANDLE_VALUE) return false;
  const DWORD type = GetFileType(file);
  CloseHandle(file);
  return type != FILE_TYPE_DISK;
}

// A new file, made by this call alone; while it is open nobody else may
// write or remove it, which is how a cleaner knows its writer lives. -1 with
// errno when it cannot be made.
int create_new(const fs::path& path) {
  int descriptor = -1;
  errno = _wsopen_s(&descriptor, path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _SH_DENYWR,
                    _S_IREAD | _S_IWRITE);
  return descriptor;
}

std::FILE* stream_of(int descriptor) { return _fdopen(descriptor, "wb"); }

long long position(std::FILE* file) { return _ftelli64(file); }

int set_size(std::FILE* file, std::uint64_t size) { return _chsize_s(_fileno(file), static_cast<long long>(size)); }

// Sets aside the room by writing zeros: a file made longer without writing
// is sparse under Wine, and a full disk shows only at the real write.
int make_room(std::FILE* file, std::uint64_t size) {
  static const char zeros[64 * 1024] = {};
  const long long at = position(file);
  if (std::fflush(file) != 0) return errno;
  const long long length = _filelengthi64(_fileno(file));
  if (at < 0 || length < 0 || _fseeki64(file, length, SEEK_SET) != 0) return errno;
  for (std::uint64_t left = size > static_cast<std::uint64_t>(length) ? size - length : 0; left > 0;) {
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(left, sizeof zeros));
    if (std::fwrite(zeros, 1, count, file) != count) return errno;
    left -= count;
  }
  return std::fflush(file) == 0 && _fseeki64(file, at, SEEK_SET) == 0 ? 0 : errno;
}

bool token_names(HANDLE token, TOKEN_INFORMATION_CLASS which, PSID sid) {
  alignas(TOKEN_USER) BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD size = 0;
  if (!GetTokenInformation(token, which, buffer, sizeof buffer, &size)) return false;
  const PSID named = which == TokenUser ? reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid
                                        : reinterpret_cast<TOKEN_OWNER*>(buffer)->Owner;
  return EqualSid(named, sid);
}

// Last written more than a minute ago.
bool written_long_ago(FILETIME written) {
  constexpr ULONGLONG kMinute = 60ULL * 10000000;  // in the 100 ns steps of a FILETIME
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  const auto ticks = [](FILETIME time) { return (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime; };
  return ticks(now) > ticks(written) + kMinute;
}

// Made by this process's user, or by the owner it gives new files (an
// elevated one makes them the administrators').
bool owned_by_this_user(HANDLE file) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  HANDLE token = nullptr;
  if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                      &descriptor) != ERROR_SUCCESS)
    return false;
  bool ours = false;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    ours = token_names(token, TokenUser, owner) || token_names(token, TokenOwner, owner);
    CloseHandle(token);
  }
  LocalFree(descriptor);
  return ours;
}

// Removes the file `name` in `folder` when it is stale: it opens for removal
// (its writer's share mode refuses that while the writer lives), is a plain
// file under that very name (not a folder, not a link, which Wine follows
// even when asked not to, so its final name differs; no second name) and
// this user's, and not written in the last minute: a writer closes its file
// just before putting it in place, and in that moment its share mode no
// longer guards it. The removal goes through the very file checked.
void remove_if_stale(const fs::path& folder, const fs::path& name) {
  const std::wstring path = followed(folder).native() + L"\\" + name.native();
  HANDLE file = open_existing(path, DELETE | READ_CONTROL | FILE_READ_ATTRIBUTES,
                              FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS);
  if (file == INVALID_HANDLE_VALUE) return;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool plain = GetFileInformationByHandle(file, &info) &&
                     (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0 &&
                     info.nNumberOfLinks == 1 && written_long_ago(info.ftLastWriteTime);
  if (plain && CompareStringOrdinal(final_name(file).c_str(), -1, path.c_str(), -1, TRUE) == CSTR_EQUAL &&
      owned_by_this_user(file)) {
    FILE_DISPOSITION_INFO remove{TRUE};
    SetFileInformationByHandle(file, FileDispositionInfo, &remove, sizeof remove);
  }
  CloseHandle(file);
}

// Access rights as text; "" when they cannot be read.
std::wstring access_rights(const fs::path& path) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                            nullptr, &descriptor) != ERROR_SUCCESS)
    return L"";
  wchar_t* text = nullptr;
  ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text,
                                                       nullptr);
  LocalFree(descriptor);
  const std::wstring rights = text != nullptr ? text : L"";
  LocalFree(text);
  return rights;
}

// Gives the new file the target's access rights, where they differ from
// what the folder gave it, and attributes, so that a file the setup program
// opened to ordinary users stays open to them. ReplaceFileW keeps them too
// where the file system merges them; where it is a plain rename, as under
// Wine, this is what keeps them. Rights are left alone where they already
// match: Wine holds them as the file's mode, which reading and setting them
// back would widen. A file system without access rights has none to keep,
// so a failure here does not stop the write.
void keep_rights(const fs::path& target, const fs::path& temporary, int descriptor) {
  const std::wstring rights = access_rights(target);
  PSECURITY_DESCRIPTOR descriptor_of_rights = nullptr;
  if (!rights.empty() && rights != access_rights(temporary) &&
      ConvertStringSecurityDescriptorToSecurityDescriptorW(rights.c_str(), SDDL_REVISION_1, &descriptor_of_rights,
                                                           nullptr)) {
    SetFileSecurityW(temporary.c_str(), DACL_SECURITY_INFORMATION, descriptor_of_rights);
    LocalFree(descriptor_of_rights);
  }
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & kKeptAttributes) == 0) return;
  FILE_BASIC_INFO basic{};  // zero times stay as they are
  basic.FileAttributes = attributes & kKeptAttributes;
  SetFileInformationByHandle(reinterpret_cast<HANDLE>(_get_osfhandle(descriptor)), FileBasicInfo, &basic,
                             sizeof basic);
}

// An existing target is replaced with ReplaceFileW, which keeps its access
// rights, attributes and name; a new one is the temporary file renamed.
bool replace(const fs::path& temporary, const fs::path& target) {
  if (GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES)
    return MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  // Replacing a file needs its delete access, which another program holding
  // it open may deny; ReplaceFileW under Wine leaves a stray file behind when
  // it finds that out itself.
  HANDLE file = open_existing(target, DELETE, 0);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  if (ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_WRITE_THROUGH, nullptr, nullptr))
    return true;
  // This failure has already moved the target away: the new text must still
  // take its name.
  return GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT &&
         MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
}

// Closes the written file and puts it in place; the reason when that fails.
// The file is closed first, since its share mode refuses the move; a reader
// that holds the target open holds up the replacing for up to two seconds,
// as long as a busy machine may take another writer to put its file in place.
std::string put_in_place(std::FILE*& file, const fs::path& temporary, const fs::path& target) {
  const bool closed = std::fclose(file) == 0;
  file = nullptr;
  if (!closed) return system_message(errno);
  DWORD error = 0;
  for (int attempt = 0; attempt < 200; ++attempt, Sleep(10)) {
    if (replace(temporary, target)) return "";
    error = GetLastError();
  }
  return std::system_category().message(static_cast<int>(error));
}

int register_temporary(const fs::path&) { return -1; }
void unregister_temporary(int) {}
#else
int current_process_id() { return getpid(); }

// The file a link names, through every link of a chain; a name that names
// nothing yet as it is.
fs::path followed(fs::path path) {
  std::error_code error;
  for (int hop = 0; hop < 40 && fs::is_symlink(path, error); ++hop) {
    const fs::path next = fs::read_symlink(path, error);
    if (error) break;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return path;
}

// Something that exists and is no file: a device, a FIFO, a socket.
bool is_special(const fs::path& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode);
}

// A new file, made by this call alone (O_EXCL refuses any existing name, a
// link included), and locked while it is open, which is how a cleaner knows
// its writer lives. A cleaner that took it for stale between its making and
// the lock has removed it: then EEXIST, for the next name. -1 with errno when
// it cannot be made.
int create_new(const fs::path& path) {
  const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (descriptor < 0) return -1;
  struct stat status;
  if (flock(descriptor, LOCK_EX) != 0) {
    const int error = errno;
    ::unlink(path.c_str());
    ::close(descriptor);
    errno = error;
    return -1;
  }
  if (fstat(descriptor, &status) == 0 && status.st_nlink > 0) return descriptor;
  ::close(descriptor);
  errno = EEXIST;
  return -1;
}

std::FILE* stream_of(int descriptor) { return fdopen(descriptor, "wb"); }

long long position(std::FILE* file) { return ftello(file); }

int set_size(std::FILE* file, std::uint64_t size) {
  return ftruncate(fileno(file), static_cast<off_t>(size)) == 0 ? 0 : errno;
}

// Linux sets the blocks aside without writing them; where a file system
// cannot, the C library writes them.
int make_room(std::FILE* file, std::uint64_t size) { return posix_fallocate(fileno(file), 0, static_cast<off_t>(size)); }

// See the Windows remove_if_stale: here the writer's lock tells it lives.
void remove_if_stale(const fs::path& folder, const fs::path& name) {
  const fs::path path = folder / name;
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return;
  struct stat status, now;
  if (fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_nlink == 1 &&
      status.st_uid == geteuid() && flock(descriptor, LOCK_EX | LOCK_NB) == 0 && lstat(path.c_str(), &now) == 0 &&
      now.st_dev == status.st_dev && now.st_ino == status.st_ino)
    ::unlink(path.c_str());
  ::close(descriptor);
}

// A new file's mode is the one a file made here gets, as before.
void keep_rights(const fs::path&, const fs::path&, int) {}

// Renamed while its lock is held, so that no cleaner takes it for stale in
// between, then closed.
std::string put_in_place(std::FILE*& file, const fs::path& temporary, const fs::path& target) {
  const int error = std::rename(temporary.c_str(), target.c_str()) == 0 ? 0 : errno;
  std::fclose(file);
  file = nullptr;
  return error == 0 ? "" : system_message(error);
}

// The temporary files being written, where a signal handler can reach them:
// a slot is free (0), being filled (1) or holds a name (2).
struct Registration {
  std::atomic<int> state{0};
  char name[4096];
};
Registration registrations[16];

int register_temporary(const fs::path& path) {
  const std::string& name = path.native();
  if (name.size() >= sizeof Registration::name) return -1;
  for (int slot = 0; slot < 16; ++slot) {
    int free = 0;
    if (!registrations[slot].state.compare_exchange_strong(free, 1)) continue;
    std::memcpy(registrations[slot].name, name.c_str(), name.size() + 1);
    registrations[slot].state = 2;
    return slot;
  }
  return -1;
}

void unregister_temporary(int slot) {
  if (slot >= 0) registrations[slot].state = 0;
}

extern "C" void remove_temporaries_and_end(int signal_number) {
  for (Registration& registration : registrations)
    if (registration.state == 2) ::unlink(registration.name);
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
}
#endif

fs::path temporary_name(const fs::path& target, unsigned number) {
  fs::path temporary = target;
  temporary += kTemporaryTag + std::to_string(current_process_id()) + "-" + std::to_string(number);
  return temporary;
}

// Whether `name` is "<prefix><digits>-<digits>". Names stay in the system's
// form: a user's file beside the target may have no narrow one.
bool is_temporary_name(const fs::path::string_type& name, const fs::path::string_type& prefix) {
  if (name.compare(0, prefix.size(), prefix) != 0) return false;
  const auto digits_from = [&](std::size_t i) {
    while (i < name.size() && name[i] >= '0' && name[i] <= '9') ++i;
    return i;
  };
  const std::size_t dash = digits_from(prefix.size());
  return dash > prefix.size() && dash < name.size() && name[dash] == '-' && digits_from(dash + 1) > dash + 1 &&
         digits_from(dash + 1) == name.size();
}

}  // namespace

ReplacingFile::ReplacingFile(fs::path target) : target_(std::move(target)) {}

ReplacingFile::~ReplacingFile() { discard(); }

bool ReplacingFile::open() {
  std::error_code ignored;
  if (fs::is_directory(target_, ignored)) return fail("it is a folder");
  if (is_special(target_)) {
    file_ = open_file(target_, "wb");
    return file_ != nullptr || fail(system_message(errno));
  }
  target_ = followed(target_);
  remove_stale_temporaries(target_);
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = temporary_name(target_, counter++);
    const int descriptor = create_new(candidate);
    if (descriptor < 0 && errno == EEXIST) continue;
    if (descriptor < 0) return fail(system_message(errno));
    temporary_ = candidate;
    registration_ = register_temporary(candidate);
    keep_rights(target_, candidate, descriptor);
    file_ = stream_of(descriptor);
    return file_ != nullptr || fail(system_message(errno));
  }
  return fail("no unused temporary name");
}

bool ReplacingFile::reserve(std::uint64_t size) {
  if (size <= reserved_ || temporary_.empty()) return true;
  if (file_ == nullptr) return fail("the file is not open");
  const std::uint64_t step = std::min(std::max(reserved_, kSmallestStep), kLargestStep);
  // A step that does not fit is not yet a failure: the bytes asked for may.
  if (reserved_ + step >= size && make_room(file_, reserved_ + step) == 0) {
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
  std::string why = error != 0 ? system_message(error) : "";
  if (why.empty() && temporary_.empty()) {  // written directly
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed || fail(system_message(errno));
  }
  if (why.empty()) why = put_in_place(file_, temporary_, target_);
  if (!why.empty()) {
    discard();
    return fail(why);
  }
  unregister_temporary(registration_);
  registration_ = -1;
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
  unregister_temporary(registration_);
  registration_ = -1;
}

bool ReplacingFile::fail(const std::string& why) {
  error_ = why;
  return false;
}

void remove_stale_temporaries(const fs::path& target) {
  fs::path prefix = target.filename();
  prefix += kTemporaryTag;
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::vector<fs::path> names;
  std::error_code error;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error))
    if (is_temporary_name(entry->path().filename().native(), prefix.native()))
      names.push_back(entry->path().filename());
  for (const fs::path& name : names) remove_if_stale(folder, name);
}

void remove_temporaries_on_interrupt() {
#if !defined(_WIN32)
  for (const int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
    struct sigaction current {};
    if (sigaction(signal_number, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = remove_temporaries_and_end;
    sigemptyset(&action.sa_mask);
    sigaction(signal_number, &action, nullptr);
  }
#endif
}

std::FILE* open_file(const fs::path& path, const char* mode) {
#if defined(_WIN32)
  const std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(path.c_str(), wide_mode.c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}
