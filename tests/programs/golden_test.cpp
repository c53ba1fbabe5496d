// Runs the golden programs: each case of tests/programs/*.golden through the
// interpreter in this process, or through the real cdmcli, against the real
// board emulator with a state folder of its own, and compares the report,
// the emulator's journal and any board file with the expected bytes.
//
// The cases' header lines and sections (tests/support/golden_file.h):
//   clock 62.5 | board 3 | listing no   run_interpreter's arguments
//   cdmcli Load {source} 100            run the real cdmcli instead; {source},
//                                       {dir} and {examples} are replaced
//   ini <line>                          an emulator.ini line (journal is on)
//   fails                               the run reports failure
//   unterminated                        the source has no final line feed
//   --- source / --- report / --- journal / --- <file in the state folder>
// A missing journal section means no library call at all; a file section
// that is empty means the file is missing or empty.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

#include "golden_file.h"
#include "interpreter.h"
#include "library_board.h"
#include "run_program.h"
#include "test_folder.h"

namespace fs = std::filesystem;

namespace {

std::string read_or_empty(const TestFolder& folder, const std::string& name) {
  const std::string bytes = folder.read(name);
  return bytes == "<missing>" ? "" : bytes;
}

class GoldenPrograms : public ::testing::TestWithParam<GoldenCase> {};

// Every case of every file runs in this one process, in order, so a run that
// leaves anything behind for the next shows up as a wrong report.
INSTANTIATE_TEST_SUITE_P(Golden, GoldenPrograms, ::testing::ValuesIn(read_golden_files(PROGRAMS_DIR)),
                         golden_test_name);

TEST_P(GoldenPrograms, GiveTheirExpectedOutput) {
  const GoldenCase& c = GetParam();
  TestFolder board, sources;
  const ScopedEnvironment state("MORVAPI_EMULATOR_DIR", board.path());
  std::string ini = "journal = yes\n";
  for (auto [line, end] = c.header.equal_range("ini"); line != end; ++line) ini += line->second + "\n";
  board.write("emulator.ini", ini);
  std::string source = c.section("source");
  if (c.has("unterminated") && !source.empty()) source.pop_back();
  sources.write("program.cdm", source);

  const bool fails = c.has("fails");
  if (c.has("cdmcli")) {
    const ProgramRun run = run_program("cdmcli", c.words("cdmcli", {{"{source}", (sources / "program.cdm").string()},
                                                                    {"{dir}", sources.path().string()},
                                                                    {"{examples}", EXAMPLES_DIR}}));
    EXPECT_EQ(fails ? kFailureStatus : 0, run.exit_status);
    EXPECT_EQ("", run.errors);
    EXPECT_EQ(platform_text(c.sections.at("report")), run.output);
  } else {
    std::ostringstream out;
    InterpreterOptions options;
    options.clock_mhz = std::stod(c.value("clock", "100"));
    options.board_number = std::stoi(c.value("board", "0"));
    options.listing = c.value("listing", "yes") == "yes";
    options.board = &library_board();
    const bool succeeded = run_interpreter(ProgramSource::from_file(sources / "program.cdm"), options, out).programmed;
    EXPECT_EQ(!fails, succeeded);
    EXPECT_EQ(c.sections.at("report"), out.str());
  }
  EXPECT_EQ(c.section("journal"), read_or_empty(board, "journal.txt"));
  for (const auto& [name, expected] : c.sections) {
    if (name == "source" || name == "report" || name == "journal") continue;
    EXPECT_EQ(expected, read_or_empty(board, name)) << name;
  }
}

// A Load into the board library at 100 MHz without the listing.
InterpreterOptions quiet_load() {
  InterpreterOptions options;
  options.board = &library_board();
  return options;
}

bool load_quietly(const fs::path& source, std::ostream& report) {
  return run_interpreter(ProgramSource::from_file(source), quiet_load(), report).programmed;
}

// Inputs far beyond any real program still end in a report, in linear time;
// a CR LF split between two of the reader's 64 KiB blocks is one line end.
TEST(GoldenPrograms, HugeSourcesLoad) {
  TestFolder board, sources;
  const ScopedEnvironment state("MORVAPI_EMULATOR_DIR", board.path());
  std::string many_names;
  for (int i = 0; i < 200000; ++i) many_names += "L" + std::to_string(i) + ": $V" + std::to_string(i) + " = 1\n";
  const std::string long_token = "0, " + std::string(10 * 1024 * 1024, '9') + "ns\n";
  const std::string long_pattern = "0B" + std::string(100 * 1024, '1') + ", 1us\n";
  // "0x1, 1us\r" ends the first block: an unpaired CR would end up in the units.
  const std::string split_line_end = "/" + std::string(65525, 'a') + "\n0x1, 1us\r\n0x2, 1us\n";
  for (const std::string& source :
       {many_names + "$V7, 1us, JSR, L199999\n", long_pattern, split_line_end, long_token}) {
    sources.write("huge.cdm", source);
    std::ostringstream report;
    EXPECT_TRUE(load_quietly(sources / "huge.cdm", report)) << report.str();
  }
  EXPECT_EQ("100\n0 0 0 inf\n", board.read("board0.program"));
  std::ostringstream report;
  EXPECT_TRUE(run_interpreter(ProgramSource::from_text(split_line_end), quiet_load(), report).programmed) << report.str();
  // A board memory file larger than the emulator's 64 KiB write pieces, from
  // lines that fill several of the parse's 2 MB blocks, each freed as its
  // lines are written: every instruction reaches the board, in order.
  board.write("emulator.ini", "memory_size = 400000\njournal = no\n");
  std::string many_lines, memory = "100\n";
  for (int i = 1; i <= 300000; ++i) many_lines += std::to_string(i) + ", 2us\n", memory += std::to_string(i) + " 0 0 2000\n";
  sources.write("huge.cdm", many_lines);
  EXPECT_TRUE(load_quietly(sources / "huge.cdm", report)) << report.str();
  EXPECT_TRUE(board.read("board0.program") == memory) << "a board file of " << board.read("board0.program").size() << " bytes";
}

#ifndef _WIN32
// A named pipe is opened and read once: an extra opening would lose its
// writer's text, and the Load would wait for another writer for ever.
TEST(GoldenPrograms, ANamedPipeIsReadOnce) {
  TestFolder board, sources;
  const ScopedEnvironment state("MORVAPI_EMULATOR_DIR", board.path());
  std::thread writer = feed_named_pipe(sources / "pipe.cdm", "0x1, 1us\n");
  std::ostringstream report;
  EXPECT_TRUE(load_quietly(sources / "pipe.cdm", report)) << report.str();
  writer.join();
}
#endif

// Two cdmcli processes load into the same emulated board at the same time
// while this one reads the board's memory file: it only ever sees a whole
// program.
TEST(GoldenPrograms, TwoLoadsAtOnceNeverTearTheBoardMemory) {
  TestFolder board, sources;
  const ScopedEnvironment state("MORVAPI_EMULATOR_DIR", board.path());
  std::string a = "50\n", b = "70\n";
  std::string source_a, source_b;
  for (int i = 0; i < 1500; ++i) source_a += "0x1, 1us\n", a += "1 0 0 1000\n";
  for (int i = 0; i < 2500; ++i) source_b += "0x2, 2us\n", b += "2 0 0 2000\n";
  sources.write("a.cdm", source_a);
  sources.write("b.cdm", source_b);
  std::atomic<int> loads_running{2};
  auto load_three_times = [&](const char* name, const char* clock) {
    for (int i = 0; i < 3; ++i) {
      const ProgramRun run = run_program("cdmcli", {"Load", (sources / name).string(), clock});
      EXPECT_EQ(0, run.exit_status) << run.output.substr(run.output.size() > 200 ? run.output.size() - 200 : 0);
    }
    --loads_running;
  };
  std::thread first(load_three_times, "a.cdm", "50"), second(load_three_times, "b.cdm", "70");
  int whole_reads = 0;
  while (loads_running > 0) {
    const std::string memory = board.read("board0.program");
    // A reader that never lets go keeps Windows from replacing the file at
    // all, and the Load then fails, saying so; this one pauses between
    // reads, as a viewer would.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (memory == "<missing>") continue;
    EXPECT_TRUE(memory == a || memory == b) << "a torn file of " << memory.size() << " bytes";
    ++whole_reads;
  }
  first.join();
  second.join();
  EXPECT_GT(whole_reads, 0);
}

}  // namespace
