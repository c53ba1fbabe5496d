// Tests as data. A golden file holds many cases; each names what it checks
// and holds its inputs and its whole expected outputs as bytes:
//   text before the first case          what the file's cases check
//   === name                            a case
//   key value                           a header line; a key may repeat
//   --- section                         every line up to the next "---" or
//                                       "===" line, each with its line feed
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

struct GoldenCase {
  std::string file;  // the file's name without ".golden"
  std::string name;
  std::multimap<std::string, std::string> header;  // a repeated key keeps its lines in order
  std::map<std::string, std::string> sections;

  bool has(const std::string& key) const { return header.count(key) > 0; }
  // The key's last value, or `otherwise` when the case has no such line.
  std::string value(const std::string& key, const std::string& otherwise = "") const;
  // The section's bytes, or "" when the case has no such section.
  std::string section(const std::string& name) const;
};

// Every case of every .golden file in `folder`, the files in name order.
std::vector<GoldenCase> read_golden_files(const std::filesystem::path& folder);

// A case's test name: its file and its name in letters, digits and "_".
std::string golden_test_name(const ::testing::TestParamInfo<GoldenCase>& info);

// A failing case shows its name, not its bytes.
inline void PrintTo(const GoldenCase& c, std::ostream* out) { *out << c.file << ": " << c.name; }
