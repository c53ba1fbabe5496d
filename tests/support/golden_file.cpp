#include "golden_file.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

std::vector<std::string> GoldenCase::words(const std::string& key,
                                           const std::map<std::string, std::string>& names) const {
  std::vector<std::string> result;
  std::istringstream stream(value(key));
  for (std::string word; stream >> word; result.push_back(word))
    for (const auto& [name, replacement] : names)
      for (std::size_t at; (at = word.find(name)) != std::string::npos;) word.replace(at, name.size(), replacement);
  return result;
}

std::vector<GoldenCase> read_golden_files(const fs::path& folder) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().extension() == ".golden") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  std::vector<GoldenCase> cases;
  for (const fs::path& file : files) {
    const std::size_t first = cases.size();
    std::string* section = nullptr;
    std::ifstream text(file, std::ios::binary);
    for (std::string line; std::getline(text, line);) {
      if (line.rfind("=== ", 0) == 0) {
        cases.push_back({file.stem().string(), line.substr(4), {}, {}});
        section = nullptr;
      } else if (cases.size() == first) {
        continue;  // the file's own description
      } else if (line.rfind("--- ", 0) == 0) {
        section = &cases.back().sections[line.substr(4)];
      } else if (section != nullptr) {
        *section += line + "\n";
      } else if (!line.empty()) {
        const std::size_t blank = line.find(' ');
        cases.back().header.emplace(line.substr(0, blank), blank == std::string::npos ? "" : line.substr(blank + 1));
      }
    }
  }
  return cases;
}

std::string golden_test_name(const ::testing::TestParamInfo<GoldenCase>& info) {
  std::string name = info.param.file + "_" + info.param.name;
  std::replace_if(name.begin(), name.end(), [](unsigned char c) { return !std::isalnum(c); }, '_');
  return name;
}
