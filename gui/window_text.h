// Reading the texts of controls.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

// The control's whole text.
std::string window_text(HWND window);

// The most characters the program reads from one of its small boxes.
inline constexpr std::size_t kBoxTextLength = 255;

// At most `limit` characters of the control's text, as a fixed buffer of
// limit + 1 would receive them.
std::string window_text_prefix(HWND window, std::size_t limit);

// The same into `text`, whose memory is reused from one call to the next.
void copy_window_text_prefix(HWND window, std::size_t limit, std::string& text);
