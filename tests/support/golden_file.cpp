#include "golden_file.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

bool starts_with(const std::string& line, const char* prefix) { return line.rfind(prefix, 0) == 0; }

void read_cases(const fs::path& path, std::vector<GoldenCase>& cases) {
  const std::size_t first = cases.size();
  std::string* section = nullptr;
  std::ifstream text(path, std::ios::binary);
  for (std::string line; std::getline(text, line);) {
    if (starts_with(line, "=== ")) {
      cases.push_back({path.stem().string(), line.substr(4), {}, {}});
      section = nullptr;
    } else if (cases.size() == first) {
      continue;  // the file's own description
    } else if (starts_with(line, "--- ")) {
      section = &cases.back().sections[line.substr(4)];
    } else if (section != nullptr) {
      *section += line + "\n";
    } else if (!line.empty()) {
      const std::size_t blank = line.find(' ');
      cases.back().header.emplace(line.substr(0, blank), blank == std::string::npos ? "" : line.substr(blank + 1));
    }
  }
}

}  // namespace

std::string GoldenCase::value(const std::string& key, const std::string& otherwise) const {
  const auto [begin, end] = header.equal_range(key);
  return begin == end ? otherwise : std::prev(end)->second;
}

std::string GoldenCase::section(const std::string& name) const {
  const auto found = sections.find(name);
  return found == sections.end() ? "" : found->second;
}

std::vector<GoldenCase> read_golden_files(const fs::path& folder) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().extension() == ".golden") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  std::vector<GoldenCase> cases;
  for (const fs::path& file : files) read_cases(file, cases);
  return cases;
}

std::string golden_test_name(const ::testing::TestParamInfo<GoldenCase>& info) {
  std::string name = info.param.file + "_" + info.param.name;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}
