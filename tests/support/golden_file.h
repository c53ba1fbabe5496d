// Tests as data: a golden file holds cases, each named after what it checks,
// with its inputs and its whole expected outputs as bytes. Text before the
// first case describes the file; "=== name" starts a case, header lines
// "key value" follow (a key may repeat), then sections: "--- name" and every
// line up to the next "---" or "===" line, each with its line feed.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <map>
#include <string>
#include <vector>

struct GoldenCase {
  std::string file;  // the file's name without ".golden"
  std::string name;
  std::multimap<std::string, std::string> header;  // a repeated key keeps its lines in order
  std::map<std::string, std::string> sections;

  bool has(const std::string& key) const { return header.count(key) > 0; }
  // The key's last value, or `otherwise` when the case has no such line.
  std::string value(const std::string& key, const std::string& otherwise = "") const {
    return has(key) ? std::prev(header.upper_bound(key))->second : otherwise;
  }
  // The section's bytes, or "" when the case has no such section.
  std::string section(const std::string& name) const { return sections.count(name) ? sections.at(name) : ""; }
  // The key's value split at blanks, with each of `names` in a word replaced.
  std::vector<std::string> words(const std::string& key, const std::map<std::string, std::string>& names) const;
};

// Every case of every .golden file in `folder`, the files in name order.
std::vector<GoldenCase> read_golden_files(const std::filesystem::path& folder);

// A case's test name: its file and its name in letters, digits and "_".
std::string golden_test_name(const ::testing::TestParamInfo<GoldenCase>& info);

// A failing case shows its name, not its bytes.
inline void PrintTo(const GoldenCase& c, std::ostream* out) { *out << c.file << ": " << c.name; }
