#include "safe_file_write.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "line_ends.h"

namespace {

constexpr wchar_t kSavingSuffix[] = L".saving";
// "<path>.saving" and, where that name is taken by something a save must not
// touch, "<path>.saving.1" to "<path>.saving.9".
constexpr int kSavingNames = 10;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// What a new file takes over from the one it replaces; read-only never
// reaches here, as such a file refuses the save.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

std::wstring wide(const std::string& text) {
  const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring result(size, L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
  return result;
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

// The file a save of `path` writes: where `path` is a link, the file it
// names, so the link stays a link and its file gets the text, as editors
// do. A path that names no file yet is written as it is.
std::wstring save_target(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return path;
  const std::wstring name = final_name(file);
  CloseHandle(file);
  return name.empty() ? path : name;
}

// True when the existing file at `path` opens with `access`; GetLastError
// tells why not.
bool opens_with(const std::wstring& path, DWORD access) {
  HANDLE file = CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

// An existing file that refuses writing (read-only, a folder, in use) counts
// as not openable, exactly as opening it for writing would.
bool existing_file_refuses_writing(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return true;
  return !opens_with(path, GENERIC_WRITE) && GetLastError() != ERROR_FILE_NOT_FOUND;
}

bool token_names(HANDLE token, TOKEN_INFORMATION_CLASS which, PSID sid) {
  alignas(TOKEN_USER) BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD size = 0;
  if (!GetTokenInformation(token, which, buffer, sizeof buffer, &size)) return false;
  const PSID named = which == TokenUser ? reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid
                                        : reinterpret_cast<TOKEN_OWNER*>(buffer)->Owner;
  return EqualSid(named, sid);
}

// This process's user, or the owner it gives new files (an elevated one
// makes them the administrators').
bool is_this_process_owner(PSID owner) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  const bool ours = token_names(token, TokenUser, owner) || token_names(token, TokenOwner, owner);
  CloseHandle(token);
  return ours;
}

bool owned_by_this_process(HANDLE file) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                      &descriptor) != ERROR_SUCCESS)
    return false;
  const bool ours = is_this_process_owner(owner);
  LocalFree(descriptor);
  return ours;
}

// What a save cut short leaves: a plain file under `name` itself (not a
// folder, not a link, which Wine follows even when asked not to, so its
// final name differs; no second name for the same file) that this process's
// user made.
bool is_left_over_save(HANDLE file, const std::wstring& name) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file, &info)) return false;
  const bool plain = (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0 &&
                     info.nNumberOfLinks == 1;
  return plain && CompareStringOrdinal(final_name(file).c_str(), -1, name.c_str(), -1, TRUE) == CSTR_EQUAL &&
         owned_by_this_process(file);
}

// Removes a left-over save at `name`, through the very file checked; anything
// else there stays.
void remove_left_over_save(const std::wstring& name) {
  HANDLE file = CreateFileW(name.c_str(), DELETE | READ_CONTROL | FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                            OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  if (is_left_over_save(file, name)) {
    FILE_DISPOSITION_INFO remove{TRUE};
    SetFileInformationByHandle(file, FileDispositionInfo, &remove, sizeof remove);
  }
  CloseHandle(file);
}

bool name_taken(DWORD error) { return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS; }

// A new file beside `target` for the save, made by this call alone: nothing
// already at the name, a link least of all, is ever opened. `name` receives
// its name. INVALID_HANDLE_VALUE when no file can be made there.
HANDLE create_temporary(const std::wstring& target, std::wstring& name) {
  for (int n = 0; n < kSavingNames; ++n) {
    name = target + kSavingSuffix + (n == 0 ? L"" : L"." + std::to_wstring(n));
    if (name.size() >= MAX_PATH) return INVALID_HANDLE_VALUE;
    remove_left_over_save(name);
    HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE | WRITE_DAC, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || !name_taken(GetLastError())) return file;
  }
  return INVALID_HANDLE_VALUE;
}

// Access rights as text; "" when they cannot be read.
std::wstring rights_text(DWORD error, PSECURITY_DESCRIPTOR descriptor) {
  if (error != ERROR_SUCCESS) return L"";
  wchar_t* text = nullptr;
  ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text,
                                                       nullptr);
  LocalFree(descriptor);
  const std::wstring rights = text != nullptr ? text : L"";
  LocalFree(text);
  return rights;
}

std::wstring access_rights(const std::wstring& path) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const DWORD error = GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                            nullptr, nullptr, nullptr, &descriptor);
  return rights_text(error, descriptor);
}

std::wstring access_rights(HANDLE file) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const DWORD error =
      GetSecurityInfo(file, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr, nullptr, &descriptor);
  return rights_text(error, descriptor);
}

// Gives the new file the target's access rights, where they differ from
// what the folder gave it, and attributes. ReplaceFileW keeps them too where
// the file system merges them; where it is a plain rename, as under Wine,
// this is what keeps them. Rights are left alone where they already match:
// Wine holds them as the file's mode, which reading and setting them back
// would widen.
// A file system without access rights has none to keep, so a failure here
// does not stop the save.
void take_over_rights_and_attributes(const std::wstring& target, HANDLE file) {
  const std::wstring rights = access_rights(target);
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!rights.empty() && rights != access_rights(file) &&
      ConvertStringSecurityDescriptorToSecurityDescriptorW(rights.c_str(), SDDL_REVISION_1, &descriptor, nullptr)) {
    SetKernelObjectSecurity(file, DACL_SECURITY_INFORMATION, descriptor);
    LocalFree(descriptor);
  }
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & kKeptAttributes) == 0) return;
  FILE_BASIC_INFO basic{};  // zero times stay as they are
  basic.FileAttributes = attributes & kKeptAttributes;
  SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic);
}

// Puts the written `temporary` in the place of `target`: an existing target
// is replaced with ReplaceFileW, which keeps its access rights, attributes
// and name, a new one is the temporary renamed.
bool put_in_place(const std::wstring& temporary, const std::wstring& target) {
  if (GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES)
    return MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  // Replacing a file needs its delete access, which another program holding
  // it open may deny; ReplaceFileW under Wine leaves a stray file behind when
  // it finds that out itself.
  if (!opens_with(target, DELETE)) return false;
  if (ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_WRITE_THROUGH, nullptr, nullptr))
    return true;
  // This failure has already moved the target away: the new text must still
  // take its name.
  return GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT &&
         MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
}

// Writes `text` into `file` with each LF as CR LF, the bytes a text-mode
// stream writes, and closes it.
bool write_crlf_and_close(HANDLE file, std::string_view text) {
  const std::string bytes = with_crlf_line_ends(text);
  DWORD written = 0;
  const bool whole =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
  return CloseHandle(file) && whole;
}

// Creates or truncates `path`, sharing it as fopen's "w" does.
WriteOutcome write_in_place(const std::wstring& path, std::string_view text) {
  if (path.size() >= MAX_PATH) return WriteOutcome::NotOpened;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return WriteOutcome::NotOpened;
  return write_crlf_and_close(file, text) ? WriteOutcome::Written : WriteOutcome::NotWritten;
}

}  // namespace

WriteOutcome write_text_in_place(const std::string& path, std::string_view text) {
  return write_in_place(wide(path), text);
}

WriteOutcome write_text_file(const std::string& path, std::string_view text) {
  const std::wstring target = save_target(wide(path));
  if (existing_file_refuses_writing(target)) return WriteOutcome::NotOpened;
  std::wstring temporary;
  HANDLE file = create_temporary(target, temporary);
  if (file == INVALID_HANDLE_VALUE) return write_in_place(target, text);
  take_over_rights_and_attributes(target, file);
  if (!write_crlf_and_close(file, text) || !put_in_place(temporary, target)) {
    DeleteFileW(temporary.c_str());
    return WriteOutcome::NotWritten;
  }
  return WriteOutcome::Written;
}

std::string write_failure_report(WriteOutcome outcome, const std::string& path) {
  const char* what = outcome == WriteOutcome::NotOpened ? "Error opening " : "Error writing ";
  return what + path + ".";
}
