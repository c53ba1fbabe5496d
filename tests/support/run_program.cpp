#include "run_program.h"

#include <thread>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

#if defined(_WIN32)

namespace {

std::string quote_argument(const std::string& argument) {
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') backslashes = backslashes * 2 + 1;
    quoted.append(backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

std::string drain(HANDLE pipe) {
  std::string text;
  char buffer[4096];
  DWORD count = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &count, nullptr) && count > 0) text.append(buffer, count);
  return text;
}

}  // namespace

fs::path program_folder() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return fs::path(std::string(path, length)).parent_path();
}

ProgramRun run_program(const std::string& program, const std::vector<std::string>& arguments) {
  const std::string executable = (program_folder() / (program + ".exe")).string();
  std::string command_line = quote_argument(executable);
  for (const std::string& argument : arguments) command_line += " " + quote_argument(argument);

  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out_read, out_write, err_read, err_write;
  CreatePipe(&out_read, &out_write, &inherit, 0);
  CreatePipe(&err_read, &err_write, &inherit, 0);
  SetHandleInformation(out_read, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(err_read, HANDLE_FLAG_INHERIT, 0);
  HANDLE no_input = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ, &inherit, OPEN_EXISTING, 0, nullptr);

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = no_input;
  startup.hStdOutput = out_write;
  startup.hStdError = err_write;
  PROCESS_INFORMATION process{};
  ProgramRun run;
  std::vector<char> writable(command_line.begin(), command_line.end());
  writable.push_back('\0');
  const BOOL started = CreateProcessA(executable.c_str(), writable.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, nullptr, &startup, &process);
  CloseHandle(out_write);
  CloseHandle(err_write);
  CloseHandle(no_input);
  if (!started) {
    CloseHandle(out_read);
    CloseHandle(err_read);
    run.exit_status = -1000;
    run.errors = "could not start " + executable;
    return run;
  }
  std::thread error_reader([&] { run.errors = drain(err_read); });
  run.output = drain(out_read);
  error_reader.join();
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  run.exit_status = static_cast<int>(status);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  CloseHandle(out_read);
  CloseHandle(err_read);
  return run;
}

#else

namespace {

std::string drain(int descriptor) {
  std::string text;
  char buffer[4096];
  ssize_t count;
  while ((count = read(descriptor, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(count));
  return text;
}

}  // namespace

fs::path program_folder() { return fs::read_symlink("/proc/self/exe").parent_path(); }

ProgramRun run_program(const std::string& program, const std::vector<std::string>& arguments) {
  const std::string executable = (program_folder() / program).string();
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(executable.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  int out_pipe[2], err_pipe[2];
  ProgramRun run;
  if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0) {
    run.exit_status = -1000;
    return run;
  }
  const pid_t child = fork();
  if (child == 0) {
    int no_input = open("/dev/null", O_RDONLY);
    dup2(no_input, 0);
    dup2(out_pipe[1], 1);
    dup2(err_pipe[1], 2);
    close(out_pipe[0]);
    close(err_pipe[0]);
    execv(executable.c_str(), argv.data());
    _exit(127);
  }
  close(out_pipe[1]);
  close(err_pipe[1]);
  std::thread error_reader([&] { run.errors = drain(err_pipe[0]); });
  run.output = drain(out_pipe[0]);
  error_reader.join();
  close(out_pipe[0]);
  close(err_pipe[0]);
  int status = 0;
  waitpid(child, &status, 0);
  run.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1000 - WTERMSIG(status);
  return run;
}

#endif
