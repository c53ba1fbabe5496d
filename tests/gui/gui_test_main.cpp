// The test program's entry. Started by the shell with "--record-open MARKER
// FILE" it stands in for a browser: it notes which file it was asked to open
// and ends, so a test can see what a real shell call did.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <string>

namespace {

// The tests run in a virtual display without a window manager. Wine would
// wait two seconds for one at every window's end; windows of this program
// that Wine draws itself need no manager. Only this program is affected,
// and only under Wine, where the key means anything. Wine reads the setting
// when a program starts: returns true when it was not yet in place.
bool let_wine_draw_the_windows() {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\gui_tests.exe\\X11 Driver", 0, nullptr, 0,
                      KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  char value[4] = {};
  DWORD size = sizeof value - 1;
  const bool in_place = RegQueryValueExA(key, "Managed", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) ==
                            ERROR_SUCCESS &&
                        value[0] == 'N';
  if (!in_place) RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
  RegCloseKey(key);
  return !in_place;
}

// Runs this program again with the same command line and output.
int run_again() {
  char program[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  std::string command_line = GetCommandLineA();
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(program, command_line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
    return 1;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 1;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return static_cast<int>(status);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--record-open") == 0) {
    std::ofstream(argv[2], std::ios::binary) << argv[3];
    return 0;
  }
  if (let_wine_draw_the_windows()) return run_again();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
