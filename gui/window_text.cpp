#include "window_text.h"

#include <vector>

std::string window_text_prefix(HWND window, std::size_t limit) {
  std::vector<char> buffer(limit + 1, '\0');
  const int copied = GetWindowTextA(window, buffer.data(), static_cast<int>(buffer.size()));
  return std::string(buffer.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
}

std::string window_text(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return std::string();
  return window_text_prefix(window, static_cast<std::size_t>(length));
}
