#include "window_text.h"

// The control copies straight into the string, which is then cut to what
// it copied: one copy of a pane's text, not two.
void copy_window_text_prefix(HWND window, std::size_t limit, std::string& text) {
  text.resize(limit + 1);
  const int copied = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
}

std::string window_text_prefix(HWND window, std::size_t limit) {
  std::string text;
  copy_window_text_prefix(window, limit, text);
  return text;
}

std::string window_text(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return std::string();
  return window_text_prefix(window, static_cast<std::size_t>(length));
}
