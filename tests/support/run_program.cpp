#include "run_program.h"

#include "test_folder.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// Starts `executable` with standard output and standard error going into
// the files `out` and `err` and no standard input, and returns its exit
// status once it has ended. With `out` empty, standard output is a pipe
// that nobody reads from.
#if defined(_WIN32)
constexpr char kExecutableSuffix[] = ".exe";

HANDLE unread_pipe(SECURITY_ATTRIBUTES& inherit) {
  HANDLE read = nullptr, write = nullptr;
  if (!CreatePipe(&read, &write, &inherit, 0)) return nullptr;
  CloseHandle(read);
  return write;
}

// The wide command line, where every file name has its characters.
int start_and_wait(const fs::path& executable, const std::vector<std::string>& arguments, const fs::path& out,
                   const fs::path& err) {
  // No argument the tests pass holds a quote or ends in a backslash.
  std::wstring command_line = L"\"" + executable.native() + L"\"";
  for (const std::string& argument : arguments) command_line += L" \"" + fs::u8path(argument).native() + L"\"";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const auto open = [&](const fs::path& name, DWORD access, DWORD disposition) {
    return CreateFileW(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition, 0, nullptr);
  };
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = open("NUL", GENERIC_READ, OPEN_EXISTING);
  startup.hStdOutput = out.empty() ? unread_pipe(inherit) : open(out, GENERIC_WRITE, CREATE_ALWAYS);
  startup.hStdError = open(err, GENERIC_WRITE, CREATE_ALWAYS);
  PROCESS_INFORMATION process{};
  DWORD status = static_cast<DWORD>(-1000);
  if (CreateProcessW(executable.c_str(), command_line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                     &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) CloseHandle(handle);
  return static_cast<int>(status);
}
#else
constexpr char kExecutableSuffix[] = "";
constexpr int kLongestRunMs = 120000;

int start_and_wait(const fs::path& executable, const std::vector<std::string>& arguments, const fs::path& out,
                   const fs::path& err) {
  std::vector<char*> argv{const_cast<char*>(executable.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  int unread[2] = {-1, -1};
  if (out.empty() && pipe(unread) == 0) close(unread[0]);
  const pid_t child = fork();
  if (child == 0) {
    dup2(open("/dev/null", O_RDONLY), 0);
    dup2(out.empty() ? unread[1] : open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
    dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
    execv(executable.c_str(), argv.data());
    _exit(127);
  }
  if (unread[1] >= 0) close(unread[1]);
  if (child < 0) return -1000;
  // A program that hangs is stopped, so that its test fails rather than
  // the whole run hanging.
  int status = 0;
  for (int waited_ms = 0; waitpid(child, &status, WNOHANG) == 0; ++waited_ms) {
    if (waited_ms == kLongestRunMs) kill(child, SIGKILL);
    usleep(1000);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1000 - WTERMSIG(status);
}
#endif

}  // namespace

#if defined(_WIN32)
fs::path program_folder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return fs::path(std::wstring(path, length)).parent_path();
}
#else
fs::path program_folder() { return fs::read_symlink("/proc/self/exe").parent_path(); }
#endif

ProgramRun run_program(const std::string& program, const std::vector<std::string>& arguments) {
  const TestFolder captured;
  ProgramRun run;
  run.exit_status =
      start_and_wait(program_folder() / (program + kExecutableSuffix), arguments, captured / "out", captured / "err");
  run.output = captured.read("out");
  run.errors = captured.read("err");
  return run;
}

#ifndef _WIN32
std::thread feed_named_pipe(const fs::path& path, std::string text) {
  signal(SIGPIPE, SIG_IGN);
  if (mkfifo(path.c_str(), 0600) != 0) return {};
  return std::thread([path, text = std::move(text)] {
    int pipe = -1;
    for (int waited_ms = 0; pipe < 0 && waited_ms < kLongestRunMs; ++waited_ms) {
      pipe = open(path.c_str(), O_WRONLY | O_NONBLOCK);
      if (pipe < 0) usleep(1000);
    }
    if (pipe < 0) return;
    fcntl(pipe, F_SETFL, 0);
    for (std::size_t written = 0; written < text.size();) {
      const ssize_t count = write(pipe, text.data() + written, text.size() - written);
      if (count <= 0) break;
      written += static_cast<std::size_t>(count);
    }
    close(pipe);
  });
}
#endif

ProgramRun run_program_unread(const std::string& program, const std::vector<std::string>& arguments) {
  const TestFolder captured;
  ProgramRun run;
  run.exit_status =
      start_and_wait(program_folder() / (program + kExecutableSuffix), arguments, {}, captured / "err");
  run.errors = captured.read("err");
  return run;
}
