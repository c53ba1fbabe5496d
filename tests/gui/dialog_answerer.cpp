#include "dialog_answerer.h"

#include <chrono>
#include <vector>

namespace {

constexpr auto kPatience = std::chrono::seconds(20);
// The file name box of the explorer-style dialogs: a combo box on Windows,
// an edit box in some implementations.
constexpr int kFileNameCombo = 0x47c;
constexpr int kFileNameEdit = 0x480;
// The message text of a message box.
constexpr int kMessageText = 0xFFFF;

bool is_dialog_of_this_process(HWND window) {
  char class_name[16] = {};
  GetClassNameA(window, class_name, sizeof class_name);
  if (std::string(class_name) != "#32770") return false;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId() && IsWindowVisible(window) && IsWindowEnabled(window);
}

BOOL CALLBACK remember_dialog(HWND window, LPARAM found) {
  if (!is_dialog_of_this_process(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

HWND wait_for_dialog() {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (std::chrono::steady_clock::now() < deadline) {
    HWND found = nullptr;
    EnumWindows(remember_dialog, reinterpret_cast<LPARAM>(&found));
    if (found != nullptr) return found;
    Sleep(30);
  }
  return nullptr;
}

std::string text_of(HWND window) {
  if (window == nullptr) return std::string();
  std::vector<char> buffer(4096, '\0');
  const int length = GetWindowTextA(window, buffer.data(), static_cast<int>(buffer.size()));
  return std::string(buffer.data(), length > 0 ? length : 0);
}

HWND file_name_box(HWND dialog) {
  HWND box = GetDlgItem(dialog, kFileNameCombo);
  return box != nullptr ? box : GetDlgItem(dialog, kFileNameEdit);
}

void press_button(HWND dialog, int button) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

}  // namespace

void DialogAnswerer::answer(int button, std::string name) {
  helper_ = std::thread([this, button, name = std::move(name)] {
    HWND dialog = wait_for_dialog();
    if (dialog == nullptr) return;
    // Let the dialog finish setting itself up, as a person's eyes would.
    Sleep(100);
    seen_.appeared = true;
    seen_.caption = text_of(dialog);
    seen_.text = text_of(GetDlgItem(dialog, kMessageText));
    if (!name.empty()) SendMessageA(file_name_box(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    press_button(dialog, button);
  });
}

SeenDialog DialogAnswerer::result() {
  if (helper_.joinable()) helper_.join();
  return seen_;
}

DialogAnswerer::~DialogAnswerer() {
  if (helper_.joinable()) helper_.join();
}
