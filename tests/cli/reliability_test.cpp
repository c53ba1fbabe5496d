// The board library where a user's setup is unusual: a state folder that
// cannot be written, one whose name is not plain text in the system's
// narrow encoding, and board memory larger than the process may allocate.
// Load must then fail with a clear report, or work; never crash, never
// claim a board kept a program it did not.
#include <cstdio>
#include <filesystem>

#include "cdmcli_fixture.h"

namespace {

namespace fs = std::filesystem;

const std::string kProgram = "0x1, 10us\n";

class CdmcliReliability : public CdmcliFixture {
 protected:
  // Points the emulator at `folder` for the programs this test starts.
  static void use_state_folder(const fs::path& folder) {
#if defined(_WIN32)
    _wputenv_s(L"MORVAPI_EMULATOR_DIR", folder.c_str());
#else
    set_environment("MORVAPI_EMULATOR_DIR", folder.native());
#endif
  }

  std::string program_path() {
    sources_.write("program.cdm", kProgram);
    return (sources_ / "program.cdm").string();
  }

  static std::string report_end(const ProgramRun& run, std::size_t lines) {
    std::size_t start = run.output.size();
    for (std::size_t i = 0; i <= lines && start != std::string::npos && start > 0; ++i)
      start = run.output.rfind('\n', start - 1);
    return start == std::string::npos ? run.output : run.output.substr(start + 1);
  }
};

TEST_F(CdmcliReliability, AStateFolderThatCannotBeWrittenFailsTheLoad) {
  // Its path runs through a file, so not even an administrator can make it.
  sources_.write("a file", "");
  const fs::path folder = sources_ / "a file" / "state";
  use_state_folder(folder);
  const ProgramRun run = cdmcli({"Load", program_path(), "100"});
  EXPECT_EQ(kFailureStatus, run.exit_status);
  EXPECT_EQ(platform_text("Failed writing instruction on Line 1 to board.\nCould not save the program of board 0: "
                          "the folder " + folder.string() + " cannot be written.\n"),
            report_end(run, 2));
}

TEST_F(CdmcliReliability, AStateFolderWithAnUnusualNameKeepsTheBoard) {
#if defined(_WIN32)
  const fs::path folder = sources_.path() / L"\u677f state";  // outside every ANSI code page but the Asian ones
#else
  const fs::path folder = sources_ / "\xff\xfe state";  // not UTF-8
#endif
  use_state_folder(folder);
  const ProgramRun run = cdmcli({"Load", program_path(), "100"});
  EXPECT_EQ(0, run.exit_status) << run.output;
  std::FILE* memory = nullptr;
#if defined(_WIN32)
  memory = _wfopen((folder / "board0.program").c_str(), L"rb");
#else
  memory = std::fopen((folder / "board0.program").c_str(), "rb");
#endif
  ASSERT_NE(nullptr, memory);
  char text[64] = {};
  std::fread(text, 1, sizeof text - 1, memory);
  std::fclose(memory);
  EXPECT_STREQ("100\n1 0 0 10000\n", text);
}

#if !defined(_WIN32)
// Only a Linux shell limits a program's address space; sanitizers need more.
TEST_F(CdmcliReliability, BoardMemoryThatCannotBeAllocatedFailsTheLoad) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers' shadow memory does not fit the limit";
#endif
  configure_board("memory_size = 16777216\n");
  const std::string command = "ulimit -v 200000; exec '" + (program_folder() / "cdmcli").string() + "' Load '" +
                              program_path() + "' 100 2>&1";
  std::FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(nullptr, pipe);
  ProgramRun run;
  char block[4096];
  for (std::size_t count; (count = std::fread(block, 1, sizeof block, pipe)) > 0;) run.output.append(block, count);
  const int status = pclose(pipe);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 255) << run.output;
  EXPECT_EQ("Failed writing instruction on Line 1 to board.\n"
            "The board library failed in cdm_start_programming: out of memory.\n",
            report_end(run, 2));
}
#endif

}  // namespace
