// Whether two paths name one file: the same file on disk however each is
// spelt (./v.cdm, a link, a second name), or, for a file not yet made, the
// same name in the same folder.
#pragma once

#include <filesystem>

bool same_file(const std::filesystem::path& a, const std::filesystem::path& b);

// Whether `path` names the file standard output goes to (a file on a disk,
// not a terminal, a pipe or a device).
bool is_standard_output(const std::filesystem::path& path);
