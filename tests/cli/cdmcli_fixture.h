// A test with an emulated board of its own (a fresh emulator state folder,
// journal on) and the real cdmcli program to drive it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_program.h"
#include "test_folder.h"

class CdmcliFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    set_environment("MORVAPI_EMULATOR_DIR", board_folder_.path().string());
    configure_board("journal = yes\n");
  }
  void TearDown() override { set_environment("MORVAPI_EMULATOR_DIR", ""); }

  void configure_board(const std::string& ini) { board_folder_.write("emulator.ini", ini); }

  ProgramRun cdmcli(const std::vector<std::string>& arguments) {
    ProgramRun run = run_program("cdmcli", arguments);
    EXPECT_EQ("", run.errors) << "cdmcli writes nothing to standard error";
    return run;
  }

  std::string journal() const { return board_folder_.read("journal.txt"); }
  std::string board_memory() const { return board_folder_.read("board0.program"); }

  TestFolder board_folder_;
  TestFolder sources_;
};
