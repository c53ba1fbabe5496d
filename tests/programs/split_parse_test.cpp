// A large source is parsed as two stretches at once, cut after a line feed.
// Wherever the cut falls, the report and the program model (as the listing
// shows it) must be what one stretch gives: checked for every golden program
// at every line feed, from memory and from a file, and for sources whose
// declarations before the cut are hard to tell without parsing them.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <optional>
#include <cstdint>
#include <sstream>
#include <string>
#include <thread>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "golden_file.h"
#include "listing.h"
#include "source_parse.h"
#include "test_folder.h"

namespace {

// The report of parsing `source` (cut after byte `cut`, or as the
// interpreter chooses), then the listing of what it parsed.
std::string parse(const ProgramSource& source, std::optional<std::uint64_t> cut = std::nullopt,
                  bool expect_cut = false) {
  ProgramModel model;
  std::ostringstream report;
  bool was_cut = false;
  const SourceParse parsed =
      cut ? parse_source_cut_after(source, *cut, model, report, was_cut) : parse_source(source, model, report);
  EXPECT_EQ(expect_cut, was_cut) << "cut after byte " << cut.value_or(0);
  if (parsed == SourceParse::Unreadable) return "<unreadable>";
  if (parsed == SourceParse::Parsed) write_parse_listing(model, report);
  return report.str();
}

// Checks every cut of `text`, from memory and from a file; each one after
// which something follows is made.
void expect_every_cut_parses_as_one(const std::string& text) {
  const ProgramSource in_memory = ProgramSource::from_text(text);
  const std::string expected = parse(in_memory);
  TestFolder folder;
  folder.write("program.cdm", text);
  const std::string path = (folder / "program.cdm").string();
  const ProgramSource in_file = ProgramSource::from_file(path.c_str());
  EXPECT_EQ(expected, parse(in_file));
  for (std::size_t cut = text.find('\n'); cut != std::string::npos; cut = text.find('\n', cut + 1)) {
    const bool made = cut + 1 < text.size();
    EXPECT_EQ(expected, parse(in_memory, cut, made)) << "in memory, cut after byte " << cut;
    EXPECT_EQ(expected, parse(in_file, cut, made)) << "in a file, cut after byte " << cut;
  }
}

class SplitParse : public ::testing::TestWithParam<GoldenCase> {};

INSTANTIATE_TEST_SUITE_P(Golden, SplitParse, ::testing::ValuesIn(read_golden_files(PROGRAMS_DIR)),
                         golden_test_name);

TEST_P(SplitParse, EveryCutGivesWhatOneStretchGives) {
  std::string source = GetParam().section("source");
  if (GetParam().has("unterminated") && !source.empty()) source.pop_back();
  expect_every_cut_parses_as_one(source);
}

// Declarations the second stretch must take over: behind labels, redeclared,
// without blanks, a command by name, one in a comment that is none, and
// errors on either side of a cut that quote what stands before it.
TEST(SplitParse, DeclarationsAndErrorsOnEitherSideOfACut) {
  const std::string declarations =
      "\xEF\xBB\xBF$Width = 2.5us\r\n"
      "START: NEXT: $cmd = jsr\n"
      "/ $WIDTH = 9s is a comment\n"
      "$N=3\n"
      "$WIDTH = 7us / the latest value counts\n"
      "0x1, $WIDTH, $CMD, START\n"
      "$FRESH = 4\n"
      "0n1, 1us, LOOP, $N\n"
      "0x2, $width, END_LOOP\n"
      "LATER: 0x3, 1us, BRANCH, NEXT\n";
  expect_every_cut_parses_as_one(declarations);
  expect_every_cut_parses_as_one(declarations + "$UNKNOWN, 1us\n");
  expect_every_cut_parses_as_one("0x1, 1us\r\n, 2us\n0x2, 1us\n");
  expect_every_cut_parses_as_one("0x1, 1us\n\n, 2us\n");
  expect_every_cut_parses_as_one("\xEF\xBB\xBF" "0x1, 1us\n, 2us\n");
  expect_every_cut_parses_as_one("0x1, 1us\n0x1 1us\n0x2, 1us\n0x3, 1us @\n");
  expect_every_cut_parses_as_one("0x1, 1us @\n0x2, 1us\n0x3, 1us #\n");
  expect_every_cut_parses_as_one("0x1, 1us, $NONE\n0x2, 1us\nSTOP\n");
}

// A declaration on a line that spans the reader's blocks is still taken
// over; a first stretch with a line too long to hold is parsed in one
// stretch, with the same result.
TEST(SplitParse, LongLinesBeforeTheCut) {
  const std::string spanning =
      "/" + std::string(20000, 'c') + "\nL: " + std::string(50000, ' ') + "$V = 5us\n0x1, $V\n0x2, $V\n";
  expect_every_cut_parses_as_one(spanning);
  const std::string too_long = "/" + std::string(1300000, 'x') + "=\n$V = 5us\n0x1, $V\n";
  const ProgramSource source = ProgramSource::from_text(too_long);
  const std::string expected = parse(source);
  // The first line is too long for the cut after it to be placed.
  EXPECT_EQ(expected, parse(source, too_long.find('\n')));
  EXPECT_EQ(expected, parse(source, too_long.rfind('\n', too_long.size() - 2)));
}

// From a megabyte on the interpreter cuts a source itself, just after the
// first line feed from 54% of it on.
TEST(SplitParse, ALargeSourceIsCutByTheInterpreter) {
  std::string text = "$W = 1us\nTOP:\n";
  for (int i = 0; text.size() < (1u << 20) - 100; ++i) text += "0x" + std::to_string(i % 97) + ", $W, BRANCH, TOP\n";
  EXPECT_EQ(0u, planned_cut(ProgramSource::from_text(text)));
  while (text.size() < (1u << 21)) text += "0x1, $W, BRANCH, TOP\n";
  text += "0x1, 1us, JSR, NOWHERE, 2\n";
  const ProgramSource source = ProgramSource::from_text(text);
  const std::uint64_t cut = planned_cut(source);
  EXPECT_EQ(text.find('\n', text.size() / 100 * 54) + 1, cut);
  EXPECT_EQ(parse(source, text.size()), parse(source));
}

#ifndef _WIN32
// A named pipe is read once, as it always was: opening it an extra time to
// learn its size would lose what its writer wrote.
TEST(SplitParse, ANamedPipeIsReadOnce) {
  TestFolder folder;
  const std::string path = (folder / "program.cdm").string();
  ASSERT_EQ(0, mkfifo(path.c_str(), 0600));
  const std::string text = "$W = 1us\n0x1, $W\nSTOP\n";
  std::thread writer([&] {
    std::FILE* pipe = std::fopen(path.c_str(), "wb");
    std::fputs(text.c_str(), pipe);
    std::fclose(pipe);
  });
  const std::string read = parse(ProgramSource::from_file(path.c_str()));
  writer.join();
  EXPECT_EQ(parse(ProgramSource::from_text(text)), read);
}
#endif

#ifndef _WIN32
// An editor that saves by putting a new file in place, again and again
// while a large program is parsed: each parse is of one file or the other,
// never of parts of both.
TEST(SplitParse, AFileReplacedDuringTheParseIsNeverMixedWithItsReplacement) {
  TestFolder folder;
  const std::string path = (folder / "program.cdm").string();
  std::string ones, twos;
  while (ones.size() < (1u << 20) + 4096) ones += "0x1, 1us\n", twos += "0x2, 1us\n";
  folder.write("program.cdm", ones);
  std::atomic<bool> parsing{true};
  std::thread editor([&] {
    for (int i = 0; parsing; ++i) {
      folder.write("saving.cdm", i % 2 == 0 ? twos : ones);
      std::rename((folder / "saving.cdm").string().c_str(), path.c_str());
    }
  });
  for (int i = 0; i < 40; ++i) {
    const std::string listing = parse(ProgramSource::from_file(path.c_str()));
    const bool only_ones = listing.find("0X2") == std::string::npos;
    const bool only_twos = listing.find("0X1") == std::string::npos;
    EXPECT_TRUE(only_ones != only_twos) << "parse " << i;
  }
  parsing = false;
  editor.join();
}
#endif

}  // namespace
