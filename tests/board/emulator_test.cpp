// The board emulator library through its exported operations, each test with
// a state folder of its own.
#include <gtest/gtest.h>

#include "morvapi.h"
#include "test_folder.h"

namespace {

class EmulatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    set_environment("MORVAPI_EMULATOR_DIR", folder_.path().string());
    configure("journal = yes\n");
    ASSERT_EQ(0, cdm_select_board(0));
    folder_.write("journal.txt", "");
  }
  void TearDown() override { set_environment("MORVAPI_EMULATOR_DIR", ""); }

  void configure(const std::string& ini) { folder_.write("emulator.ini", ini); }
  std::string journal() const { return folder_.read("journal.txt"); }

  TestFolder folder_;
};

TEST_F(EmulatorTest, ProgrammingKeepsTheBoardMemoryInItsFile) {
  ASSERT_EQ(0, cdm_init());
  EXPECT_STREQ("", cdm_get_error());
  cdm_core_clock(62.5);
  cdm_start_programming(0);
  EXPECT_EQ(0, cdm_inst_cdmonly(1, 0, 0, 10000));
  EXPECT_EQ(1, cdm_inst_cdmonly(4294967295u, 6, 0, 0.5));
  EXPECT_EQ(2, cdm_inst_cdmonly(0, 1, 2147483647, 1e9));
  EXPECT_EQ("<missing>", folder_.read("board0.program")) << "written when programming ends";
  cdm_stop_programming();
  cdm_close();
  EXPECT_EQ(
      "62.5\n"
      "1 0 0 10000\n"
      "4294967295 6 0 0.5\n"
      "0 1 2147483647 1e+09\n",
      folder_.read("board0.program"));
  EXPECT_EQ(
      "cdm_init -> 0\n"
      "cdm_get_error\n"
      "cdm_core_clock 62.5 -> 0\n"
      "cdm_start_programming 0 -> 0\n"
      "cdm_inst_cdmonly 1 0 0 10000 -> 0\n"
      "cdm_inst_cdmonly 4294967295 6 0 0.5 -> 1\n"
      "cdm_inst_cdmonly 0 1 2147483647 1e+09 -> 2\n"
      "cdm_stop_programming -> 0\n"
      "cdm_close -> 0\n",
      journal());
}

TEST_F(EmulatorTest, ANewProgramReplacesTheOldOne) {
  for (int count : {3, 1}) {
    ASSERT_EQ(0, cdm_init());
    cdm_core_clock(100);
    cdm_start_programming(0);
    for (int i = 0; i < count; ++i) EXPECT_EQ(i, cdm_inst_cdmonly(i, 0, 0, 1));
    cdm_stop_programming();
    cdm_close();
  }
  EXPECT_EQ("100\n0 0 0 1\n", folder_.read("board0.program"));
}

TEST_F(EmulatorTest, AWriteAtTheEndOfMemoryFails) {
  configure("memory_size = 2\n");
  ASSERT_EQ(0, cdm_init());
  cdm_core_clock(10);
  cdm_start_programming(0);
  EXPECT_EQ(0, cdm_inst_cdmonly(1, 0, 0, 1));
  EXPECT_EQ(1, cdm_inst_cdmonly(2, 0, 0, 1));
  EXPECT_LT(cdm_inst_cdmonly(3, 0, 0, 1), 0);
  EXPECT_STREQ("Board memory is full: it holds 2 instructions.", cdm_get_error());
  cdm_stop_programming();
  cdm_close();
  EXPECT_EQ("10\n1 0 0 1\n2 0 0 1\n", folder_.read("board0.program"));
}

TEST_F(EmulatorTest, InjectedWriteFailure) {
  const struct {
    const char* ini;
    const char* error;
  } cases[] = {
      {"fail_write_at = 1\nerror_text = USB transfer timed out\n", "USB transfer timed out"},
      {"fail_write_at = 1\n", "Write failed at address 1."},
  };
  for (const auto& c : cases) {
    configure(c.ini);
    ASSERT_EQ(0, cdm_init());
    cdm_core_clock(20);
    cdm_start_programming(0);
    EXPECT_EQ(0, cdm_inst_cdmonly(1, 0, 0, 1));
    EXPECT_LT(cdm_inst_cdmonly(2, 0, 0, 1), 0);
    EXPECT_STREQ(c.error, cdm_get_error());
    cdm_stop_programming();
    cdm_close();
    EXPECT_EQ("20\n1 0 0 1\n", folder_.read("board0.program")) << "what was written stays";
  }
}

TEST_F(EmulatorTest, CallsOutsideAConnectionFail) {
  EXPECT_LT(cdm_inst_cdmonly(1, 0, 0, 1), 0);
  EXPECT_STREQ("Instruction written while programming was not started.", cdm_get_error());
  EXPECT_LT(cdm_start(), 0);
  EXPECT_STREQ("The board is not open.", cdm_get_error());
  EXPECT_LT(cdm_close(), 0);
  EXPECT_FALSE(folder_.exists("board0.state"));
}

TEST_F(EmulatorTest, SelectionAndOpeningFollowTheConfiguredBoards) {
  configure("journal = yes\nboards = 0 1 12\nunopenable = 12\nfirmware_id = 0x0507\n");
  EXPECT_EQ(0, cdm_select_board(1));
  EXPECT_NE(0, cdm_select_board(4));
  EXPECT_STREQ("There is no board number 4.", cdm_get_error());
  ASSERT_EQ(0, cdm_init()) << "board 1 stays selected";
  EXPECT_EQ(0x0507, cdm_get_firmware_id());
  cdm_start();
  cdm_close();
  EXPECT_EQ("running\n", folder_.read("board1.state"));
  EXPECT_EQ(0, cdm_select_board(12));
  EXPECT_NE(0, cdm_init());
  EXPECT_STREQ("Board 12 could not be opened.", cdm_get_error());
  EXPECT_EQ(
      "cdm_select_board 1 -> 0\n"
      "cdm_select_board 4 -> -1\n"
      "cdm_get_error\n"
      "cdm_init -> 0\n"
      "cdm_get_firmware_id -> 1287\n"
      "cdm_start -> 0\n"
      "cdm_close -> 0\n"
      "cdm_select_board 12 -> 0\n"
      "cdm_init -> 2\n"
      "cdm_get_error\n",
      journal());
}

TEST_F(EmulatorTest, NoBoardsPresent) {
  configure("boards = none\n");
  EXPECT_NE(0, cdm_select_board(0));
  EXPECT_EQ(1, cdm_init());
  EXPECT_STREQ("No Cadmora board is present.", cdm_get_error());
}

TEST_F(EmulatorTest, VersionAndDebugSwitch) {
  configure("journal = yes\nversion = 3.4 (bench)\n");
  ASSERT_EQ(0, cdm_init());
  EXPECT_STREQ("3.4 (bench)", cdm_get_version());
  EXPECT_EQ(0, cdm_set_debug(1));
  cdm_stop();
  cdm_close();
  EXPECT_EQ("stopped\n", folder_.read("board0.state"));
  EXPECT_EQ("cdm_init -> 0\ncdm_get_version\ncdm_set_debug 1 -> 0\ncdm_stop -> 0\ncdm_close -> 0\n", journal());
}

TEST_F(EmulatorTest, NoJournalUnlessAskedFor) {
  configure("");
  ASSERT_EQ(0, cdm_init());
  cdm_close();
  EXPECT_EQ("", journal());
}

TEST_F(EmulatorTest, StateFilesAreReplacedWhole) {
  ASSERT_EQ(0, cdm_init());
  cdm_start();
  cdm_stop();
  cdm_close();
  EXPECT_EQ("stopped\n", folder_.read("board0.state"));
  int leftovers = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder_.path()))
    leftovers += entry.path().string().find(".tmp") != std::string::npos;
  EXPECT_EQ(0, leftovers) << "no temporary files stay behind";
}

}  // namespace
