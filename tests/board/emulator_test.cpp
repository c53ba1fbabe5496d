// The board emulator's settings, and the operations that programming a board
// does not reach (the golden programs cover those), through the library.
#include <gtest/gtest.h>

#include <climits>
#include <set>

#include "emulator_config.h"
#include "morvapi.h"
#include "replacing_file.h"
#include "test_folder.h"

namespace {

TEST(EmulatorConfig, ReadsEveryKeyAndKeepsDefaultsForValuesThatDoNotRead) {
  const struct {
    const char* text;
    std::vector<int> boards;
    int firmware_id;
    int memory_size;
  } cases[] = {
      {"", {0}, 0x0203, 32768},
      {"boards = none", {}, 0x0203, 32768},
      {"boards = 2  5\t7   # three boards\n#boards = 1", {2, 5, 7}, 0x0203, 32768},
      {"boards = 1 x", {0}, 0x0203, 32768},
      {"firmware_id = 258", {0}, 258, 32768},
      {"firmware_id=0x0304\r\n", {0}, 0x0304, 32768},
      {"firmware_id = 0xZZ", {0}, 0x0203, 32768},
      {"firmware_id = 0x100000000", {0}, 0x0203, 32768},
      {"firmware_id = -2147483648", {0}, INT_MIN, 32768},
      {"memory_size = 16", {0}, 0x0203, 16},
      {"memory_size = -4", {0}, 0x0203, 32768},
      {"memory_size = 99999999999", {0}, 0x0203, 32768},
      {"memory_size = 99999999999999999999", {0}, 0x0203, 32768},
      {"memory_size 12", {0}, 0x0203, 32768},
  };
  for (const auto& c : cases) {
    const EmulatorConfig config = parse_emulator_config(c.text);
    EXPECT_EQ(c.boards, config.boards) << c.text;
    EXPECT_EQ(c.firmware_id, config.firmware_id) << c.text;
    EXPECT_EQ(c.memory_size, config.memory_size) << c.text;
  }
  EXPECT_FALSE(parse_emulator_config("boards = none").initial_board().has_value());
  EXPECT_EQ(5, parse_emulator_config("boards = 2 5\ndefault_board = 5").initial_board());
  EXPECT_EQ(2500, parse_emulator_config("trace = 2.5US").trace_ns);
  EXPECT_FALSE(parse_emulator_config("trace = off").trace_ns.has_value());

  // A trace that cannot be used is named with its line, never taken as 0.
  const std::string huge(400, '9');
  const EmulatorConfig unusable = parse_emulator_config("journal = yes\ntrace = " + huge + "s\ntrace = 2 ms\n");
  EXPECT_FALSE(unusable.trace_ns.has_value());
  EXPECT_TRUE(unusable.trace_unusable);
  EXPECT_FALSE(parse_emulator_config("trace = 1x\ntrace = 2ms").trace_unusable);
  EXPECT_EQ((std::vector<std::string>{"emulator.ini line 2: trace = " + huge + "s is out of range",
                                      "emulator.ini line 3: trace = 2 ms is not a time such as 2ms"}),
            unusable.problems);
}

TEST(Emulator, SelectionOpeningAndTheBoardsOwnTexts) {
  const TestFolder folder;
  const ScopedEnvironment state("MORVAPI_EMULATOR_DIR", folder.path());
  folder.write("emulator.ini", "journal = yes\nboards = 0 1 12\nunopenable = 12\nfirmware_id = 0x0507\n"
                                "version = 3.4 (bench)\n");
  EXPECT_LT(cdm_start(), 0);
  EXPECT_STREQ("The board is not open.", cdm_get_error());
  EXPECT_LT(cdm_inst_cdmonly(1, 0, 0, 1), 0);
  EXPECT_STREQ("Instruction written while programming was not started.", cdm_get_error());
  EXPECT_EQ(0, cdm_select_board(1));
  EXPECT_NE(0, cdm_select_board(4));
  EXPECT_STREQ("There is no board number 4.", cdm_get_error());
  ASSERT_EQ(0, cdm_init()) << "board 1 stays selected";
  EXPECT_EQ(0x0507, cdm_get_firmware_id());
  EXPECT_STREQ("3.4 (bench)", cdm_get_version());
  EXPECT_EQ(0, cdm_set_debug(1));
  cdm_start();
  cdm_close();
  EXPECT_EQ(0, cdm_select_board(12));
  EXPECT_NE(0, cdm_init());
  EXPECT_STREQ("Board 12 could not be opened.", cdm_get_error());
  EXPECT_EQ("running\n", folder.read("board1.state"));
  EXPECT_EQ(
      "cdm_start -> -1\ncdm_get_error\ncdm_inst_cdmonly 1 0 0 1 -> -1\ncdm_get_error\n"
      "cdm_select_board 1 -> 0\ncdm_select_board 4 -> -1\ncdm_get_error\ncdm_init -> 0\n"
      "cdm_get_firmware_id -> 1287\ncdm_get_version\ncdm_set_debug 1 -> 0\ncdm_start -> 0\ncdm_close -> 0\n"
      "cdm_select_board 12 -> 0\ncdm_init -> 2\ncdm_get_error\n",
      folder.read("journal.txt"));

  // Without the journal setting nothing is journalled, and no board at all
  // fails every selection and connection.
  folder.write("emulator.ini", "boards = none\n");
  folder.write("journal.txt", "");
  EXPECT_NE(0, cdm_select_board(0));
  EXPECT_EQ(1, cdm_init());
  EXPECT_STREQ("No Cadmora board is present.", cdm_get_error());
  EXPECT_EQ("", folder.read("journal.txt"));

  // A state folder that does not exist yet is made on first use; programming
  // and starting leave the board's own files there and nothing else (no
  // temporary file, no trace unless one is asked for).
  const ScopedEnvironment new_state("MORVAPI_EMULATOR_DIR", folder / "new" / "state");
  EXPECT_EQ(0, cdm_select_board(0));
  EXPECT_EQ(0, cdm_init());
  EXPECT_EQ(0, cdm_start_programming(0));
  EXPECT_EQ(0, cdm_inst_cdmonly(1, 0, 0, 1000));
  EXPECT_EQ(0, cdm_stop_programming());
  EXPECT_EQ(0, cdm_start());
  EXPECT_EQ(0, cdm_close());
  EXPECT_EQ("running\n", folder.read("new/state/board0.state"));
  EXPECT_EQ("0\n1 0 0 1000\n", folder.read("new/state/board0.program")) << "no clock was set";
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder / "new" / "state"))
    names.insert(entry.path().filename().string());
  EXPECT_EQ((std::set<std::string>{"board0.program", "board0.state"}), names);

#if !defined(_WIN32)
  // A folder variable that is set but empty names no folder: the default
  // one is used, not the working directory.
  const ScopedEnvironment no_folder("MORVAPI_EMULATOR_DIR", ""), xdg("XDG_STATE_HOME", folder / "xdg");
  EXPECT_EQ(0, cdm_init());
  EXPECT_EQ(0, cdm_stop());
  EXPECT_EQ(0, cdm_close());
  EXPECT_EQ("stopped\n", folder.read("xdg/morvapi-emulator/board0.state"));
#endif
}

void start_board() {
  ASSERT_EQ(0, cdm_init());
  EXPECT_EQ(0, cdm_start());
  EXPECT_EQ(0, cdm_close());
}

// Runs after the test above, which needs the library as a new process has it.
TEST(Emulator, StartTracesABoundedStretchAndClearsWhatAnEarlierStartLeft) {
  const TestFolder folder;
  const ScopedEnvironment state("MORVAPI_EMULATOR_DIR", folder.path());
  folder.write("emulator.ini", "journal = yes\ntrace = 100000s\n");
  folder.write("board0.program", "100\n1 6 0 1000\n");  // BRANCH to itself, for ever
  folder.write_left_over("board0.vcd.tmp99999999-0", "left by a Start that was cut short");
  ReplacingFile running(folder / "board0.vcd");  // a writer at work, whatever its name says
  ASSERT_TRUE(running.open());
  start_board();
  const std::string vcd = folder.read("board0.vcd");
  EXPECT_EQ("#10000000\n", vcd.substr(vcd.rfind('#'))) << "100,000 instructions of 1 us, in units of 10 ns";
  EXPECT_EQ("cdm_init -> 0\ncdm_start -> 0\n# board0.vcd cut at 100000 instructions\ncdm_close -> 0\n",
            folder.read("journal.txt"));
  EXPECT_FALSE(folder.exists("board0.vcd.tmp99999999-0"));
  EXPECT_TRUE(running.commit()) << running.error();

  // A clock at which the run's times cannot be counted gives no dump.
  folder.write("board0.program", "1e-306\n1 6 0 1000\n");
  std::filesystem::remove(folder / "board0.vcd");
  start_board();
  EXPECT_FALSE(folder.exists("board0.vcd"));

  // Nor does a trace value that cannot be read, and an earlier Start's dump,
  // which would pass for this one's, goes; the journal says why.
  folder.write("board0.vcd", "an earlier Start's dump");
  folder.write("emulator.ini", "journal = yes\ntrace = 2 ms\n");
  folder.write("journal.txt", "");
  start_board();
  EXPECT_FALSE(folder.exists("board0.vcd"));
  EXPECT_EQ("cdm_init -> 0\ncdm_start -> 0\n# emulator.ini line 2: trace = 2 ms is not a time such as 2ms\n"
            "cdm_close -> 0\n",
            folder.read("journal.txt"));
}

}  // namespace
