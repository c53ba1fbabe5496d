// Works an installed cdmgui from another process, with the window messages a
// person's clicks would send, for the setup program's test:
//   installed_gui_probe drive FREQUENCY
//     waits for cdmgui's window, prints its title and its source pane's text,
//     types FREQUENCY into the clock frequency box, chooses Help > Read Me,
//     then File > Exit, and waits until the window is gone.
//   installed_gui_probe record FILE TEXT
//     writes TEXT into FILE: the test makes this the program that opens web
//     pages, so Read Me's page is recorded instead of shown.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "resource_ids.h"

namespace {

constexpr int kWaitSteps = 600;  // of 100 ms
constexpr char kMainWindowClass[] = "MyWindowClass";

std::string text_of(HWND window) {
  char text[4096] = {};
  SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

HWND wait_for_window() {
  for (int step = 0; step < kWaitSteps; ++step) {
    if (HWND window = FindWindowA(kMainWindowClass, nullptr)) return window;
    Sleep(100);
  }
  return nullptr;
}

bool wait_until_gone(HWND window) {
  for (int step = 0; step < kWaitSteps && IsWindow(window); ++step) Sleep(100);
  return !IsWindow(window);
}

void choose(HWND window, int command) { SendMessageA(window, WM_COMMAND, MAKEWPARAM(command, 0), 0); }

int drive(const char* frequency) {
  HWND window = wait_for_window();
  if (window == nullptr) {
    std::printf("no cdmgui window\n");
    return 1;
  }
  // Start-up ends after the window is shown: let it reach its message loop.
  Sleep(1000);
  std::printf("title: %s\nsource: %s\n", text_of(window).c_str(), text_of(GetDlgItem(window, IDC_SOURCE)).c_str());
  SendMessageA(GetDlgItem(window, IDC_FREQUENCY_BOX), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(frequency));
  choose(window, ID_HELP_READ_ME);
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(ID_FILE_EXIT, 0), 0);
  if (!wait_until_gone(window)) {
    std::printf("cdmgui did not exit\n");
    return 1;
  }
  return 0;
}

int record(const char* path, const char* text) {
  std::FILE* file = std::fopen(path, "w");
  if (file == nullptr) return 1;
  std::fputs(text, file);
  return std::fclose(file) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "drive") == 0) return drive(argv[2]);
  if (argc == 4 && std::strcmp(argv[1], "record") == 0) return record(argv[2], argv[3]);
  std::printf("usage: installed_gui_probe drive FREQUENCY | record FILE TEXT\n");
  return 2;
}
