// The real cdmcli program against the real board emulator library, each test
// with an emulator state folder of its own.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "cdmcli_fixture.h"

namespace {

const char kUsage[] =
    "Usage: cdmcli <command> [file] [frequency]\n"
    "Commands:\n"
    "  Load = Load [file] into memory using [frequency]\n"
    "  Start = Start execution of program currently in memory\n"
    "  Stop = Stop execution of program currently running\n";

using CdmcliTest = CdmcliFixture;

struct Expected {
  std::vector<std::string> arguments;
  std::string output;
  int status;
};

TEST_F(CdmcliTest, CommandsThatNeverReachTheBoard) {
  const Expected cases[] = {
      {{}, kUsage, 0},
      {{"Bogus"}, std::string("Unknown Command.\n\n") + kUsage, 0},
      {{"stopped"}, std::string("Unknown Command.\n\n") + kUsage, 0},
      {{""}, std::string("Unknown Command.\n\n") + kUsage, 0},
      {{"load"}, std::string("Please specify the file to load and the frequency to use.\n\n") + kUsage, 0},
      {{"LOAD", "a.cdm"}, std::string("Please specify the file to load and the frequency to use.\n\n") + kUsage, 0},
  };
  for (const Expected& c : cases) {
    ProgramRun run = cdmcli(c.arguments);
    EXPECT_EQ(platform_text(c.output), run.output) << ::testing::PrintToString(c.arguments);
    EXPECT_EQ(c.status, run.exit_status) << ::testing::PrintToString(c.arguments);
  }
  EXPECT_EQ("<missing>", journal());
}

TEST_F(CdmcliTest, StartAndStopDriveTheDefaultBoard) {
  const struct {
    std::vector<std::string> arguments;
    std::string output;
    std::string state;
    std::string journal;
  } cases[] = {
      {{"Start"}, "Program execution started.\n", "running\n", "cdm_init -> 0\ncdm_start -> 0\ncdm_close -> 0\n"},
      {{"stop", "ignored", "arguments"}, "Program execution stopped.\n", "stopped\n",
       "cdm_init -> 0\ncdm_stop -> 0\ncdm_close -> 0\n"},
      {{"Starting"}, "Program execution started.\n", "running\n", "cdm_init -> 0\ncdm_start -> 0\ncdm_close -> 0\n"},
  };
  for (const auto& c : cases) {
    board_folder_.write("journal.txt", "");
    ProgramRun run = cdmcli(c.arguments);
    EXPECT_EQ(platform_text(c.output), run.output);
    EXPECT_EQ(0, run.exit_status);
    EXPECT_EQ(c.state, board_folder_.read("board0.state"));
    EXPECT_EQ(c.journal, journal());
  }
}

TEST_F(CdmcliTest, StartUsesTheEmulatorsDefaultBoard) {
  configure_board("journal = yes\nboards = 0 3\ndefault_board = 3\n");
  ProgramRun run = cdmcli({"start"});
  EXPECT_EQ(0, run.exit_status);
  EXPECT_EQ("running\n", board_folder_.read("board3.state"));
  EXPECT_FALSE(board_folder_.exists("board0.state"));
}

TEST_F(CdmcliTest, StartAndStopWithoutABoardFail) {
  const struct {
    const char* ini;
    const char* journal;
  } boards[] = {
      {"journal = yes\nboards = none\n", "cdm_init -> 1\n"},
      {"journal = yes\nunopenable = 0\n", "cdm_init -> 2\n"},
  };
  for (const auto& board : boards) {
    configure_board(board.ini);
    for (const char* command : {"Start", "Stop"}) {
      board_folder_.write("journal.txt", "");
      ProgramRun run = cdmcli({command});
      EXPECT_EQ(platform_text("Cadmora board not found.\n"), run.output) << board.ini << command;
      EXPECT_EQ(kFailureStatus, run.exit_status) << board.ini << command;
      EXPECT_EQ(board.journal, journal()) << board.ini << command;
    }
  }
}

TEST_F(CdmcliTest, LoadOfAFileThatCannotBeReadNeverTouchesTheBoard) {
  const std::string missing = (sources_ / "missing.cdm").string();
  const std::string folder = sources_.path().string();
  for (const std::string& path : {missing, folder}) {
    ProgramRun run = cdmcli({"Load", path, "100"});
    EXPECT_EQ(platform_text("Failed to open file.\n"), run.output) << path;
    EXPECT_EQ(kFailureStatus, run.exit_status) << path;
  }
  EXPECT_EQ("<missing>", journal());
}

std::string repeated_program(const char* line, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += line;
  return text;
}

std::string expected_memory(const char* clock, const char* instruction, int count) {
  return std::string(clock) + "\n" + repeated_program(instruction, count);
}

// Two programs load into the same emulated board at the same time while a
// third reads the board's memory file: it only ever sees a whole program.
TEST_F(CdmcliTest, TwoLoadsAtOnceNeverTearTheBoardMemory) {
  configure_board("");
  sources_.write("a.cdm", repeated_program("0x1, 1us\n", 1500));
  sources_.write("b.cdm", repeated_program("0x2, 2us\n", 2500));
  const std::string memory_a = expected_memory("50", "1 0 0 1000\n", 1500);
  const std::string memory_b = expected_memory("70", "2 0 0 2000\n", 2500);

  std::atomic<int> loads_running{2};
  auto load_three_times = [&](const char* source, const char* clock) {
    for (int i = 0; i < 3; ++i) {
      ProgramRun run = run_program("cdmcli", {"Load", (sources_ / source).string(), clock});
      EXPECT_EQ(0, run.exit_status);
    }
    --loads_running;
  };
  std::thread first(load_three_times, "a.cdm", "50");
  std::thread second(load_three_times, "b.cdm", "70");
  int whole_reads = 0;
  while (loads_running > 0) {
    const std::string memory = board_memory();
    if (memory == "<missing>") continue;
    EXPECT_TRUE(memory == memory_a || memory == memory_b) << "a torn file of " << memory.size() << " bytes";
    ++whole_reads;
  }
  first.join();
  second.join();
  EXPECT_GT(whole_reads, 0);
}

}  // namespace
