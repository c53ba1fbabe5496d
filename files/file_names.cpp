#include "file_names.h"

#if defined(_WIN32)
#include <windows.h>
#include <shellapi.h>
#endif

namespace fs = std::filesystem;

#if defined(_WIN32)
namespace {

std::wstring wide_text(std::string_view text, UINT code_page) {
  const int size = MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

std::string narrow_text(std::wstring_view wide, UINT code_page) {
  const int size =
      WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size, nullptr, nullptr);
  return text;
}

std::vector<std::string> arguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> texts;
  for (int i = 0; i < count; ++i) texts.push_back(narrow_text(wide[i], CP_UTF8));
  LocalFree(wide);
  return texts;
}

}  // namespace

std::string console_text(std::string_view command_line_text) {
  return narrow_text(wide_text(command_line_text, CP_UTF8), CP_ACP);
}

std::string shown_path(const fs::path& path) { return narrow_text(path.native(), CP_ACP); }

fs::path narrow_path(const char* name) { return fs::path(wide_text(name, CP_ACP)); }
#else
namespace {

std::vector<std::string> arguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

}  // namespace

std::string console_text(std::string_view command_line_text) { return std::string(command_line_text); }

std::string shown_path(const fs::path& path) { return path.native(); }

fs::path narrow_path(const char* name) { return fs::path(name); }
#endif

CommandLine::CommandLine(int argc, char** argv) : arguments_(arguments(argc, argv)) {
  for (const std::string& argument : arguments_) pointers_.push_back(argument.c_str());
}
