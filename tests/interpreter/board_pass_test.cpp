// The board programming pass, through the whole run sequence, against the
// recording board: the report and the exact library calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recording_board.h"
#include "source_text.h"

namespace {

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

class BoardPass : public ::testing::Test {
 protected:
  void SetUp() override { reset_recording_board(); }
};

TEST_F(BoardPass, WorkedExample) {
  const InterpreterRun run = interpret_text(source_lines({"START: 0x1, 10us", "0x0, 10us, BRANCH, START"}));
  const std::vector<std::string> report = {
      "Labels:",
      "START = 0",
      "",
      "Variables:",
      "",
      "Program Lines:",
      "Line 1: 0X1, 10US, CONTINUE, 0",
      "Line 2: 0X0, 10US, BRANCH, START",
      "",
      "Using Clock Frequency of 100 MHz.",
      "",
      "Parse Values:",
      "Line 1: 1 10000 0 0",
      "Line 2: 0 10000 6 0",
      "",
      "2 instructions interpreted.",
      "Board 0 programmed successfully.",
  };
  ASSERT_EQ(17u, report.size());
  EXPECT_TRUE(run.succeeded);
  EXPECT_EQ(joined(report), run.report);
  EXPECT_EQ(joined({"cdm_init", "cdm_core_clock 100", "cdm_start_programming 0", "cdm_inst_cdmonly 1 0 0 10000",
                    "cdm_inst_cdmonly 0 6 0 10000", "cdm_stop_programming", "cdm_close"}),
            recording_board().calls);
}

struct Case {
  const char* name;
  std::string source;
  RecordingBoard board;  // how the board answers
  bool debug_listing;
  double clock_mhz;
  int board_number;
  bool succeeded;
  std::string report;
  std::string calls;
};

RecordingBoard no_board() {
  RecordingBoard board;
  board.init_result = 1;
  return board;
}

RecordingBoard write_fails_at(int index, const char* error_text) {
  RecordingBoard board;
  board.fail_write_at = index;
  board.error_text = error_text;
  return board;
}

RecordingBoard every_other_call_fails() {
  RecordingBoard board;
  board.ignored_results = -5;
  return board;
}

const std::string kFiveLines = source_lines({"1, 1us", "2, 1us", "/ a comment", "3, 1 sec", "4, 1us", "5, 1us"});
const std::string kOpenAndClose = joined({"cdm_init", "cdm_core_clock 100", "cdm_start_programming 0"});
const std::string kEndProgramming = joined({"cdm_stop_programming", "cdm_close"});

TEST_F(BoardPass, ReportsAndCallsForEveryOutcome) {
  const Case cases[] = {
      {"no board, after the listing", source_lines({"0x1, 1us"}), no_board(), true, 100, 0, false,
       "Labels:\n\nVariables:\n\nProgram Lines:\nLine 1: 0X1, 1US, CONTINUE, 0\n\nCadmora board not found.\n",
       "cdm_init\n"},
      {"no board, without listing", source_lines({"0x1, 1us"}), no_board(), false, 100, 0, false,
       "Cadmora board not found.\n", "cdm_init\n"},
      {"no lines at all", source_lines({"$a = 1", "HERE:", "/ comment"}), RecordingBoard(), false, 100, 0, true,
       "Using Clock Frequency of 100 MHz.\n\n\n0 instructions interpreted.\nBoard 0 programmed successfully.\n",
       kOpenAndClose + kEndProgramming},
      {"no lines, with listing", "", RecordingBoard(), true, 100, 0, true,
       "Labels:\n\nVariables:\n\nProgram Lines:\n\nUsing Clock Frequency of 100 MHz.\n\nParse Values:\n"
       "\n0 instructions interpreted.\nBoard 0 programmed successfully.\n",
       kOpenAndClose + kEndProgramming},
      {"a bad value on the third of five lines", kFiveLines, RecordingBoard(), false, 100, 0, false,
       "Using Clock Frequency of 100 MHz.\n\n\nTime unit on line 4 is invalid.\n\tSEC\n",
       kOpenAndClose + joined({"cdm_inst_cdmonly 1 0 0 1000", "cdm_inst_cdmonly 2 0 0 1000"}) + kEndProgramming},
      {"a bad value leaves its line without Parse Values", source_lines({"1, 1us", "0, 1us, END_LOOP"}),
       RecordingBoard(), true, 100, 0, false,
       "Labels:\n\nVariables:\n\nProgram Lines:\nLine 1: 1, 1US, CONTINUE, 0\nLine 2: 0, 1US, END_LOOP, 0\n\n"
       "Using Clock Frequency of 100 MHz.\n\nParse Values:\nLine 1: 1 1000 0 0\n\nEND_LOOP without LOOP on line 2.\n",
       kOpenAndClose + joined({"cdm_inst_cdmonly 1 0 0 1000"}) + kEndProgramming},
      {"a failed write keeps its Parse Values line", source_lines({"1, 1us", "", "2, 2ms, WAIT, 4", "3, 1us"}),
       write_fails_at(1, "Board memory is full."), true, 100, 0, false,
       "Labels:\n\nVariables:\n\nProgram Lines:\nLine 1: 1, 1US, CONTINUE, 0\nLine 2: 2, 2MS, WAIT, 4\n"
       "Line 3: 3, 1US, CONTINUE, 0\n\nUsing Clock Frequency of 100 MHz.\n\nParse Values:\nLine 1: 1 1000 0 0\n"
       "Line 2: 2 2e+06 8 4\n\nFailed writing instruction on Line 3 to board.\nBoard memory is full.\n",
       kOpenAndClose +
           joined({"cdm_inst_cdmonly 1 0 0 1000", "cdm_inst_cdmonly 2 8 4 2e+06", "cdm_get_error"}) +
           kEndProgramming},
      {"a failed write whose library gives no error text", source_lines({"1, 1us"}), write_fails_at(0, nullptr),
       false, 100, 0, false,
       "Using Clock Frequency of 100 MHz.\n\n\nFailed writing instruction on Line 1 to board.\n\n",
       kOpenAndClose + joined({"cdm_inst_cdmonly 1 0 0 1000", "cdm_get_error"}) + kEndProgramming},
      {"results of the other calls are not examined", source_lines({"1, 1us"}), every_other_call_fails(), false,
       100, 0, true, "Using Clock Frequency of 100 MHz.\n\n\n1 instructions interpreted.\nBoard 0 programmed successfully.\n",
       kOpenAndClose + joined({"cdm_inst_cdmonly 1 0 0 1000"}) + kEndProgramming},
      {"a frequency of 0 and a negative board", "", RecordingBoard(), false, 0, -3, true,
       "Using Clock Frequency of 0 MHz.\n\n\n0 instructions interpreted.\nBoard -3 programmed successfully.\n",
       joined({"cdm_init", "cdm_core_clock 0", "cdm_start_programming 0"}) + kEndProgramming},
      {"a fractional frequency", "", RecordingBoard(), false, 62.5, 2, true,
       "Using Clock Frequency of 62.5 MHz.\n\n\n0 instructions interpreted.\nBoard 2 programmed successfully.\n",
       joined({"cdm_init", "cdm_core_clock 62.5", "cdm_start_programming 0"}) + kEndProgramming},
      {"a frequency in exponent form", "", RecordingBoard(), false, 2000000, 0, true,
       "Using Clock Frequency of 2e+06 MHz.\n\n\n0 instructions interpreted.\nBoard 0 programmed successfully.\n",
       joined({"cdm_init", "cdm_core_clock 2e+06", "cdm_start_programming 0"}) + kEndProgramming},
      {"a frequency with more than six digits", "", RecordingBoard(), false, 123.4567891, 0, true,
       "Using Clock Frequency of 123.457 MHz.\n\n\n0 instructions interpreted.\nBoard 0 programmed successfully.\n",
       joined({"cdm_init", "cdm_core_clock 123.4567891", "cdm_start_programming 0"}) + kEndProgramming},
  };
  for (const Case& c : cases) {
    recording_board() = c.board;
    const InterpreterRun run = interpret_text(c.source, c.debug_listing, c.clock_mhz, c.board_number);
    EXPECT_EQ(c.succeeded, run.succeeded) << c.name;
    EXPECT_EQ(c.report, run.report) << c.name;
    EXPECT_EQ(c.calls, recording_board().calls) << c.name;
  }
}

TEST_F(BoardPass, WritesLoopsAndSubroutinesWithInstructionIndexes) {
  const InterpreterRun run = interpret_text(source_lines({
                                                "$n = 3",
                                                "0, 1us, JSR, SUB",
                                                "OUTER: 1, 1us, LOOP, $n",
                                                "  2, 1us, LOOP, 2",
                                                "    3, 1us",
                                                "  4, 1us, END_LOOP",
                                                "5, 1us, END_LOOP",
                                                "6, 1us, LOOP",
                                                "STOP",
                                                "SUB: 7, 100ns, RTS",
                                            }),
                                            false);
  EXPECT_TRUE(run.succeeded) << run.report;
  EXPECT_EQ(kOpenAndClose + joined({
                                "cdm_inst_cdmonly 0 4 8 1000",
                                "cdm_inst_cdmonly 1 2 3 1000",
                                "cdm_inst_cdmonly 2 2 2 1000",
                                "cdm_inst_cdmonly 3 0 0 1000",
                                "cdm_inst_cdmonly 4 3 2 1000",
                                "cdm_inst_cdmonly 5 3 1 1000",
                                "cdm_inst_cdmonly 6 2 0 1000",
                                "cdm_inst_cdmonly 0 1 0 1000",
                                "cdm_inst_cdmonly 7 5 0 100",
                            }) + kEndProgramming,
            recording_board().calls);
}

}  // namespace
