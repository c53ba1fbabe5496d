// Load where a user's setup is unusual: a state folder that cannot be
// written, one whose name is not plain text in the system's narrow encoding,
// board memory larger than the process may allocate, a report that nobody
// reads. Load then fails with a clear report, or works; it never crashes and
// never claims a board kept a program it did not.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "run_program.h"
#include "test_folder.h"

namespace fs = std::filesystem;

namespace {

// The last `lines` lines of a report.
std::string report_end(const std::string& report, std::size_t lines) {
  std::size_t start = report.size();
  for (std::size_t i = 0; i <= lines && start != std::string::npos && start > 0; ++i)
    start = report.rfind('\n', start - 1);
  return start == std::string::npos ? report : report.substr(start + 1);
}

struct Reliability : ::testing::Test {
  void SetUp() override { sources.write("program.cdm", "0x1, 10us\n"); }
  std::string program() const { return (sources / "program.cdm").string(); }
  TestFolder sources;
};

TEST_F(Reliability, AStateFolderThatCannotBeWrittenFailsTheLoad) {
  // Its path runs through a file, so not even an administrator can make it.
  sources.write("a file", "");
  const fs::path folder = sources / "a file" / "state";
  const ScopedEnvironment state("MORVAPI_EMULATOR_DIR", folder);
  const ProgramRun run = run_program("cdmcli", {"Load", program(), "100"});
  EXPECT_EQ(kFailureStatus, run.exit_status);
  EXPECT_EQ(platform_text("Failed writing instruction on Line 1 to board.\nCould not save the program of board 0: "
                          "the folder " + folder.string() + " cannot be written.\n"),
            report_end(run.output, 2));
}

TEST_F(Reliability, AStateFolderWithAnUnusualNameKeepsTheBoard) {
#if defined(_WIN32)
  const fs::path folder = sources.path() / L"\u677f state";  // outside every ANSI code page but the Asian ones
#else
  const fs::path folder = sources / "\xff\xfe state";  // not UTF-8
#endif
  const ScopedEnvironment state("MORVAPI_EMULATOR_DIR", folder);
  const ProgramRun run = run_program("cdmcli", {"Load", program(), "100"});
  EXPECT_EQ(0, run.exit_status) << run.output;
  std::ifstream memory(folder / "board0.program", std::ios::binary);  // a wide name on Windows
  EXPECT_EQ("100\n1 0 0 10000\n", std::string(std::istreambuf_iterator<char>(memory), {}));
}

TEST_F(Reliability, ABoardFileThatIsAFolderFailsTheLoad) {
  TestFolder board;
  const ScopedEnvironment state("MORVAPI_EMULATOR_DIR", board.path());
  fs::create_directory(board / "board0.program");
  sources.write("empty.cdm", "/ nothing yet\n");
  // A program without instructions has no write to fail: ending programming
  // does, as the board memory was not saved.
  const struct {
    std::string program, failure;
  } cases[] = {{program(), "Failed writing instruction on Line 1 to board."},
               {(sources / "empty.cdm").string(), "Failed saving the program to board."}};
  for (const auto& c : cases) {
    const ProgramRun run = run_program("cdmcli", {"Load", c.program, "100"});
    EXPECT_EQ(kFailureStatus, run.exit_status) << c.program;
    EXPECT_EQ(platform_text(c.failure + "\nCould not save the program of board 0: " +
                            (board / "board0.program").string() + " is a folder.\n"),
              report_end(run.output, 2));
  }
}

TEST_F(Reliability, AReportNobodyReadsIsDroppedAndTheBoardGetsTheWholeProgram) {
  TestFolder board;
  const ScopedEnvironment state("MORVAPI_EMULATOR_DIR", board.path());
  std::string source, memory = "100\n";
  for (int i = 0; i < 5000; ++i) {  // a report far larger than a pipe holds
    source += "0x1, 10us\n";
    memory += "1 0 0 10000\n";
  }
  sources.write("program.cdm", source);
  const ProgramRun run = run_program_unread("cdmcli", {"Load", program(), "100"});
  EXPECT_EQ(0, run.exit_status) << run.errors;
  EXPECT_TRUE(board.read("board0.program") == memory) << "the board memory does not hold the whole program";
}

#if !defined(_WIN32)
// A settings file that is no file, or too long to be one, is not read: Start
// neither waits for ever nor fills memory, and the journal says why. Run
// under `timeout`, so that a hang fails the test instead of stopping it.
TEST_F(Reliability, ASettingsFileThatIsNoPlainShortFileIsNotRead) {
  TestFolder board;
  const ScopedEnvironment state("MORVAPI_EMULATOR_DIR", board.path());
  const fs::path settings = board / "emulator.ini";
  const struct {
    std::string command, why;
  } cases[] = {{"mkfifo \"$1\"", "is not a regular file"},
               {"ln -s /dev/zero \"$1\"", "is not a regular file"},
               {"head -c 65537 /dev/zero | tr '\\0' ' ' >\"$1\"", "is longer than 64 KiB"}};
  for (const auto& c : cases) {
    fs::remove(settings);
    fs::remove(board / "journal.txt");
    run_program("/bin/sh", {"-c", c.command, "sh", settings.string()});
    const ProgramRun run = run_program("/usr/bin/timeout", {"60", (program_folder() / "cdmcli").string(), "Start"});
    EXPECT_EQ(0, run.exit_status) << c.command;
    EXPECT_EQ("Program execution started.\n", run.output);
    EXPECT_EQ("cdm_init -> 0\ncdm_start -> 0\n# emulator.ini " + c.why + "; every setting keeps its default\n"
              "cdm_close -> 0\n",
              board.read("journal.txt"))
        << c.command;
  }
}

// Only a Linux shell limits a program's address space; sanitizers need more.
TEST_F(Reliability, BoardMemoryThatCannotBeAllocatedFailsTheLoad) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers' shadow memory does not fit the limit";
#endif
  TestFolder board;
  const ScopedEnvironment state("MORVAPI_EMULATOR_DIR", board.path());
  board.write("emulator.ini", "memory_size = 16777216\n");
  const ProgramRun run = run_program("/bin/sh", {"-c", "ulimit -v 200000; exec \"$0\" Load \"$1\" 100",
                                                 (program_folder() / "cdmcli").string(), program()});
  EXPECT_EQ(kFailureStatus, run.exit_status) << run.output << run.errors;
  EXPECT_EQ("Failed writing instruction on Line 1 to board.\n"
            "The board library failed in cdm_start_programming: out of memory.\n",
            report_end(run.output, 2));
}

// A disk that fills up while a board is programmed: a small memory file
// system of the test's own, mounted where the kernel lets a user namespace
// do so, holding the old program and one free page. The write that does not
// fit fails, and the board keeps the instructions it accepted before it.
TEST_F(Reliability, ABoardMemoryTheDiskCannotHoldFailsAtTheLineThatDoesNotFit) {
  if (run_program("/usr/bin/unshare", {"-rm", "true"}).exit_status != 0) GTEST_SKIP() << "no mount namespace here";
  std::string lines;
  for (int i = 0; i < 301; ++i) lines += "0xFFFFFF, 1.5us\n";
  sources.write("long.cdm", lines);
  fs::create_directory(sources / "state");
  const char* script =
      "cd \"$1\" && mount -t tmpfs -o size=16k tmpfs state && printf '100\\n1 0 0 10000\\n' >state/board0.program &&"
      " head -c 4096 /dev/zero >state/spare && { cat /dev/zero >state/filler 2>/dev/null; rm state/spare; } &&"
      " MORVAPI_EMULATOR_DIR=state \"$0\" Load long.cdm 100 >report.txt; echo $? >status;"
      " cp state/board0.program kept.program; ls -A state >names";
  run_program("/usr/bin/unshare", {"-rm", "/bin/sh", "-c", script, (program_folder() / "cdmcli").string(),
                                   sources.path().string()});
  EXPECT_EQ("255\n", sources.read("status"));
  EXPECT_EQ("Failed writing instruction on Line 226 to board.\n"
            "Could not save the program of board 0: No space left on device.\n",
            report_end(sources.read("report.txt"), 2));
  std::string accepted = "100\n";
  for (int i = 0; i < 225; ++i) accepted += "16777215 0 0 1500\n";
  EXPECT_EQ(accepted, sources.read("kept.program"));
  EXPECT_EQ("board0.program\nfiller\n", sources.read("names"));
}
#endif

}  // namespace
