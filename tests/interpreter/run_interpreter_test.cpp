// run_interpreter on files: what reaches the board, and what never does.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "interpreter.h"
#include "recording_board.h"
#include "source_text.h"
#include "test_folder.h"

namespace {

class RunInterpreter : public ::testing::Test {
 protected:
  void SetUp() override { reset_recording_board(); }

  InterpreterRun run(const std::string& path, bool debug_listing = true) {
    std::ostringstream report;
    InterpreterRun result;
    result.succeeded = run_interpreter(100, 0, path.c_str(), report, debug_listing);
    result.report = report.str();
    return result;
  }

  InterpreterRun run_source(const std::string& bytes, bool debug_listing = true) {
    folder_.write("program.cdm", bytes);
    return run((folder_ / "program.cdm").string(), debug_listing);
  }

  TestFolder folder_;
};

TEST_F(RunInterpreter, FilesThatCannotBeOpenedNeverReachTheBoard) {
  for (const std::string& path : {(folder_ / "missing.cdm").string(), folder_.path().string()}) {
    const InterpreterRun result = run(path);
    EXPECT_FALSE(result.succeeded) << path;
    EXPECT_EQ("Failed to open file.\n", result.report) << path;
  }
  std::ostringstream report;
  EXPECT_FALSE(run_interpreter(100, 0, nullptr, report, true));
  EXPECT_EQ("Failed to open file.\n", report.str());
  EXPECT_EQ("", recording_board().calls);
}

TEST_F(RunInterpreter, ReadingAndParseErrorsNeverReachTheBoard) {
  const struct {
    std::string source;
    std::string report;
  } cases[] = {
      {source_lines({"START: 0x1, 1us", "0x2, 1us, #3"}),
       "Reading of tokens failed at Line 2 Column 11.\nOffending character: \"#\".\n"},
      {source_lines({"START: 0x1, 1us", "0x2 1us"}),
       "Expecting comma after 0X21US on line 2 starting at column 1.\nGot End of Line.\n"
       "Check for bad output pattern.\n"},
  };
  for (const auto& c : cases) {
    for (bool debug_listing : {true, false}) {
      const InterpreterRun result = run_source(c.source, debug_listing);
      EXPECT_FALSE(result.succeeded);
      EXPECT_EQ(c.report, result.report) << "no listing after a failed parse";
    }
  }
  EXPECT_EQ("", recording_board().calls);
}

TEST_F(RunInterpreter, CarriageReturnLineFeedReadsLikeLineFeed) {
  const std::string with_line_feeds = source_lines({"A: 0x1, 1us / one", "$T = 2us", "0x0, $T, BRANCH, A"});
  std::string with_crlf;
  for (char c : with_line_feeds) with_crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  const InterpreterRun lf = run_source(with_line_feeds);
  const InterpreterRun crlf = run_source(with_crlf);
  EXPECT_TRUE(lf.succeeded);
  EXPECT_TRUE(crlf.succeeded);
  EXPECT_EQ(lf.report, crlf.report);
}

TEST_F(RunInterpreter, EachCallStartsAfresh) {
  const std::string source = source_lines({"$A = 1", "L: 0x1, 1us, LOOP", "0, 1us, END_LOOP", "$A, 1us, JSR, L"});
  const InterpreterRun first = run_source(source);
  const std::string first_calls = recording_board().calls;
  reset_recording_board();
  const InterpreterRun second = run_source(source);
  EXPECT_TRUE(first.succeeded);
  EXPECT_EQ(first.report, second.report);
  EXPECT_EQ(first_calls, recording_board().calls);
}

TEST_F(RunInterpreter, WithoutTheListingReportsOnlyTheBoardPass) {
  const InterpreterRun result = run_source(source_lines({"X: 0x1, 1us", "0x0, 1us, BRANCH, X"}), false);
  EXPECT_TRUE(result.succeeded);
  EXPECT_EQ("Using Clock Frequency of 100 MHz.\n\n\n2 instructions interpreted.\nBoard 0 programmed successfully.\n",
            result.report);
}

// Inputs far beyond any real program still end in a report, in linear time.
TEST_F(RunInterpreter, HandlesHugeSources) {
  std::string labels;
  for (int i = 0; i < 300000; ++i) labels += "L" + std::to_string(i) + ":\n";
  labels += "0, 1us, JSR, L299999\n";
  const InterpreterRun many_labels = interpret_text(labels, false);
  EXPECT_TRUE(many_labels.succeeded) << many_labels.report;

  reset_recording_board();
  const std::string long_line = "0, " + std::string(10 * 1024 * 1024, '9') + "ns\n";
  const InterpreterRun huge_time = interpret_text(long_line, false);
  EXPECT_TRUE(huge_time.succeeded);
  EXPECT_NE(std::string::npos, recording_board().calls.find("\ncdm_inst_cdmonly 0 0 0 inf\n"))
      << recording_board().calls;
}

}  // namespace
