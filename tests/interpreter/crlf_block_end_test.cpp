// A file is read in 64 KB blocks; a CR LF split across two blocks is one
// line end like any other.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "interpreter.h"
#include "recording_board.h"
#include "test_folder.h"

TEST(CrLfAtBlockEnd, IsOneLineEnd) {
  // Line k's CR is byte 8k + 7, so line 8191's is the block's last byte.
  std::string source = "\n";
  for (int i = 0; i < 9000; ++i) source += "0, 1US\r\n";
  TestFolder folder;
  folder.write("program.cdm", source);
  reset_recording_board();
  std::ostringstream report;
  EXPECT_TRUE(run_interpreter(100, 0, (folder / "program.cdm").string().c_str(), report, false)) << report.str();
  EXPECT_NE(std::string::npos, report.str().find("9000 instructions interpreted.")) << report.str();
}
