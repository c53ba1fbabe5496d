// The diagnostic listing and the Parse Values lines.
#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>

#include "listing.h"

namespace {

std::string listing(const ProgramModel& model) {
  std::ostringstream report;
  write_parse_listing(model, report);
  return report.str();
}

TEST(ParseListing, ListsLabelsVariableNamesAndLines) {
  ProgramModel empty;
  ProgramModel example;
  example.labels = {{"START", 0}, {"A", 1}, {"A", 2}, {"END", 2}};
  example.variables = {{"$ON", "0N0+3"}, {"$WIDTH", "2.5US"}};
  example.lines.push_back({"0XFF", "100", "US", "CONTINUE", "0", 4});
  example.lines.push_back({"0", "1", "US", "STOP", "0", 9});
  ProgramModel no_time;
  no_time.lines.push_back({"0N", "", "US", "BRANCH", "START", 1});

  const struct {
    const ProgramModel& model;
    std::string expected;
  } cases[] = {
      {empty, "Labels:\n\nVariables:\n\nProgram Lines:\n\n"},
      {example,
       "Labels:\nSTART = 0\nA = 1\nA = 2\nEND = 2\n\n"
       "Variables:\n$ON\n$WIDTH\n\n"
       "Program Lines:\nLine 1: 0XFF, 100US, CONTINUE, 0\nLine 2: 0, 1US, STOP, 0\n\n"},
      {no_time, "Labels:\n\nVariables:\n\nProgram Lines:\nLine 1: 0N, US, BRANCH, START\n\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, listing(c.model));
}

TEST(ParseValuesLine, WritesTheNumbersInTheStreamsDefaultForm) {
  const struct {
    unsigned index;
    InstructionFields fields;
    std::string expected;
  } cases[] = {
      {0, {255, 0, 0, 100000}, "Line 1: 255 100000 0 0\n"},
      {1, {0, 6, 0, 10000}, "Line 2: 0 10000 6 0\n"},
      {2, {1, 0, 0, 1e6}, "Line 3: 1 1e+06 0 0\n"},
      {3, {1, 0, 0, 1e9}, "Line 4: 1 1e+09 0 0\n"},
      {4, {1, 0, 0, 2500}, "Line 5: 1 2500 0 0\n"},
      {5, {1, 0, 0, 0.5}, "Line 6: 1 0.5 0 0\n"},
      {6, {1, 0, 0, 123456.7}, "Line 7: 1 123457 0 0\n"},
      {7, {1, 0, 0, std::numeric_limits<double>::infinity()}, "Line 8: 1 inf 0 0\n"},
      {8, {0xFFFFFFFFu, 7, 2147483647, 1}, "Line 9: -1 1 7 2147483647\n"},
      {9, {0x80000000u, 8, 0, 1}, "Line 10: -2147483648 1 8 0\n"},
      {10, {0x7FFFFFFFu, 2, 12, 1}, "Line 11: 2147483647 1 2 12\n"},
  };
  for (const auto& c : cases) {
    std::ostringstream report;
    write_parse_values_line(c.index, c.fields, report);
    EXPECT_EQ(c.expected, report.str());
  }
}

}  // namespace
