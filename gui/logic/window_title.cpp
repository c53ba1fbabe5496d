#include "window_title.h"

std::string window_title(std::string_view file_name) {
  if (file_name.empty()) return kProgramTitle;
  // Only a backslash separates folders here; a forward slash stays part of
  // the name shown.
  const std::size_t separator = file_name.rfind('\\');
  const std::string_view base =
      separator == std::string_view::npos ? file_name : file_name.substr(separator + 1);
  return std::string(base) + " - " + kProgramTitle;
}
