#include "standard_output.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>

#include <cerrno>
#endif

#if defined(_WIN32)
bool StandardOutput::write_piece(const char* text, std::size_t length) {
  crlf_.clear();
  for (const char* end = text + length; text != end; ++text) {
    if (*text == '\n') crlf_ += '\r';
    crlf_ += *text;
  }
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  constexpr std::size_t kLargestCall = 1u << 30;
  for (std::size_t done = 0; done < crlf_.size();) {
    const std::size_t left = crlf_.size() - done;
    DWORD written = 0;
    if (!WriteFile(out, crlf_.data() + done, static_cast<DWORD>(left < kLargestCall ? left : kLargestCall), &written,
                   nullptr) ||
        written == 0)
      return false;
    done += written;
  }
  return true;
}
#else
bool StandardOutput::write_piece(const char* text, std::size_t length) {
  while (length > 0) {
    const auto written = write(STDOUT_FILENO, text, length);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    text += written;
    length -= static_cast<std::size_t>(written);
  }
  return true;
}
#endif
