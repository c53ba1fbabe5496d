// Load through the real cdmcli and the real board emulator library: the
// report on standard output, the exit status, the library calls (the
// emulator's journal) and what the board's memory holds afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cdmcli_fixture.h"

namespace {

std::string lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

class CdmcliLoad : public CdmcliFixture {
 protected:
  ProgramRun load(const std::string& source, const std::string& frequency = "100") {
    sources_.write("program.cdm", source);
    return load_file((sources_ / "program.cdm").string(), frequency);
  }

  ProgramRun load_file(const std::string& path, const std::string& frequency = "100") {
    return cdmcli({"Load", path, frequency});
  }
};

const std::string kWorkedExample = lines({"START: 0x1, 10us", "0x0, 10us, BRANCH, START"});

const std::string kWorkedExampleReport = lines({
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
});

const std::string kWorkedExampleJournal = lines({
    "cdm_init -> 0",
    "cdm_core_clock 100 -> 0",
    "cdm_start_programming 0 -> 0",
    "cdm_inst_cdmonly 1 0 0 10000 -> 0",
    "cdm_inst_cdmonly 0 6 0 10000 -> 1",
    "cdm_stop_programming -> 0",
    "cdm_close -> 0",
});

TEST_F(CdmcliLoad, WorkedExample) {
  const ProgramRun run = load(kWorkedExample);
  EXPECT_EQ(platform_text(kWorkedExampleReport), run.output);
  EXPECT_EQ(0, run.exit_status);
  EXPECT_EQ(kWorkedExampleJournal, journal());
  EXPECT_EQ("100\n1 0 0 10000\n0 6 0 10000\n", board_memory());
}

TEST_F(CdmcliLoad, CarriageReturnLineFeedSourceLoadsAlike) {
  const ProgramRun run = load("START: 0x1, 10us\r\n0x0, 10us, BRANCH, START\r\n");
  EXPECT_EQ(platform_text(kWorkedExampleReport), run.output);
  EXPECT_EQ(0, run.exit_status);
  EXPECT_EQ(kWorkedExampleJournal, journal());
}

TEST_F(CdmcliLoad, ReadingAndParseErrorsNeverTouchTheBoard) {
  const struct {
    std::string source;
    std::string report;
  } cases[] = {
      {lines({"START: 0x1, 10us", "  -5, 1us"}),
       "Reading of tokens failed at Line 2 Column 3.\nOffending character: \"-\".\n"},
      {lines({"START: 0x1, 10us", "0x0, 10us, BRANCH"}),
       "Expecting comma after BRANCH on line 2 starting at column 12.\nGot End of Line.\n"},
      {lines({"$width = 5us", "0x1, $wide"}),
       "Unknown variable $WIDE on line 2 starting at column 6.\nVariables must be declared beforehand.\n"},
  };
  for (const auto& c : cases) {
    const ProgramRun run = load(c.source);
    EXPECT_EQ(platform_text(c.report), run.output);
    EXPECT_EQ(kFailureStatus, run.exit_status);
  }
  EXPECT_EQ("<missing>", journal());
  EXPECT_EQ("<missing>", board_memory());
}

TEST_F(CdmcliLoad, AValueErrorEndsProgrammingAndClosesTheBoard) {
  const ProgramRun run = load(lines({"0x1, 1us", "0x2, 1us, JSR, NOWHERE", "0x3, 1us"}));
  EXPECT_EQ(platform_text(lines({
                "Labels:",
                "",
                "Variables:",
                "",
                "Program Lines:",
                "Line 1: 0X1, 1US, CONTINUE, 0",
                "Line 2: 0X2, 1US, JSR, NOWHERE",
                "Line 3: 0X3, 1US, CONTINUE, 0",
                "",
                "Using Clock Frequency of 100 MHz.",
                "",
                "Parse Values:",
                "Line 1: 1 1000 0 0",
                "",
                "Unknown label on line 2:",
                "\tNOWHERE",
            })),
            run.output);
  EXPECT_EQ(kFailureStatus, run.exit_status);
  EXPECT_EQ(lines({
                "cdm_init -> 0",
                "cdm_core_clock 100 -> 0",
                "cdm_start_programming 0 -> 0",
                "cdm_inst_cdmonly 1 0 0 1000 -> 0",
                "cdm_stop_programming -> 0",
                "cdm_close -> 0",
            }),
            journal());
  EXPECT_EQ("100\n1 0 0 1000\n", board_memory());
}

TEST_F(CdmcliLoad, AFailedWriteReportsTheLibrarysErrorText) {
  configure_board("journal = yes\nfail_write_at = 1\nerror_text = Board memory is damaged at address 1.\n");
  const ProgramRun run = load(lines({"0x1, 1us", "/ second instruction:", "0x2, 1us", "0x3, 1us"}), "62.5");
  EXPECT_EQ(platform_text(lines({
                "Labels:",
                "",
                "Variables:",
                "",
                "Program Lines:",
                "Line 1: 0X1, 1US, CONTINUE, 0",
                "Line 2: 0X2, 1US, CONTINUE, 0",
                "Line 3: 0X3, 1US, CONTINUE, 0",
                "",
                "Using Clock Frequency of 62.5 MHz.",
                "",
                "Parse Values:",
                "Line 1: 1 1000 0 0",
                "Line 2: 2 1000 0 0",
                "",
                "Failed writing instruction on Line 3 to board.",
                "Board memory is damaged at address 1.",
            })),
            run.output);
  EXPECT_EQ(kFailureStatus, run.exit_status);
  EXPECT_EQ(lines({
                "cdm_init -> 0",
                "cdm_core_clock 62.5 -> 0",
                "cdm_start_programming 0 -> 0",
                "cdm_inst_cdmonly 1 0 0 1000 -> 0",
                "cdm_inst_cdmonly 2 0 0 1000 -> -1",
                "cdm_get_error",
                "cdm_stop_programming -> 0",
                "cdm_close -> 0",
            }),
            journal());
  EXPECT_EQ("62.5\n1 0 0 1000\n", board_memory());
}

TEST_F(CdmcliLoad, WithoutABoardReportsAfterTheListing) {
  configure_board("journal = yes\nboards = none\n");
  const ProgramRun run = load(lines({"0x1, 1us"}));
  EXPECT_EQ(platform_text(lines({
                "Labels:",
                "",
                "Variables:",
                "",
                "Program Lines:",
                "Line 1: 0X1, 1US, CONTINUE, 0",
                "",
                "Cadmora board not found.",
            })),
            run.output);
  EXPECT_EQ(kFailureStatus, run.exit_status);
  EXPECT_EQ("cdm_init -> 1\n", journal());
}

TEST_F(CdmcliLoad, AFrequencyThatIsNoNumberIsZero) {
  const ProgramRun run = load("", "fast");
  EXPECT_EQ(platform_text(lines({"Labels:", "", "Variables:", "", "Program Lines:", "", "Using Clock Frequency of 0 MHz.",
                                 "", "Parse Values:", "", "0 instructions interpreted.",
                                 "Board 0 programmed successfully."})),
            run.output);
  EXPECT_EQ(0, run.exit_status);
  EXPECT_EQ(lines({"cdm_init -> 0", "cdm_core_clock 0 -> 0", "cdm_start_programming 0 -> 0",
                   "cdm_stop_programming -> 0", "cdm_close -> 0"}),
            journal());
}

TEST_F(CdmcliLoad, TheWorkedExampleShipsAsAnExample) {
  const ProgramRun run = load_file(std::string(EXAMPLES_DIR) + "/branch_loop.cdm");
  EXPECT_EQ(platform_text(kWorkedExampleReport), run.output);
  EXPECT_EQ(0, run.exit_status);
  EXPECT_EQ(kWorkedExampleJournal, journal());
}

TEST_F(CdmcliLoad, TheLanguageTourExample) {
  const ProgramRun run = load_file(std::string(EXAMPLES_DIR) + "/features.cdm");
  EXPECT_EQ(platform_text(lines({
                "Labels:",
                "OUTER = 1",
                "PULSE = 10",
                "",
                "Variables:",
                "$ON",
                "$WIDTH",
                "$REPEAT",
                "",
                "Program Lines:",
                "Line 1: 0B0000, 1US, CONTINUE, 0",
                "Line 2: 0N0+3+7, 2.5US, LOOP, 4",
                "Line 3: 0XFF, 500NS, LOOP, 2",
                "Line 4: 255, 1MS, CONTINUE, 0",
                "Line 5: 0, 1MS, END_LOOP, 0",
                "Line 6: 0X0F, 20US, JSR, PULSE",
                "Line 7: 0, 1US, END_LOOP, 0",
                "Line 8: 0, 1S, LONG_DELAY, 10",
                "Line 9: 0, 1US, WAIT, 0",
                "Line 10: 0, 1US, STOP, 0",
                "Line 11: 0X1, 100NS, CONTINUE, 0",
                "Line 12: 0X0, 100NS, RTS, 0",
                "",
                "Using Clock Frequency of 100 MHz.",
                "",
                "Parse Values:",
                "Line 1: 0 1000 0 0",
                "Line 2: 137 2500 2 4",
                "Line 3: 255 500 2 2",
                "Line 4: 255 1e+06 0 0",
                "Line 5: 0 1e+06 3 2",
                "Line 6: 15 20000 4 10",
                "Line 7: 0 1000 3 1",
                "Line 8: 0 1e+09 7 10",
                "Line 9: 0 1000 8 0",
                "Line 10: 0 1000 1 0",
                "Line 11: 1 100 0 0",
                "Line 12: 0 100 5 0",
                "",
                "12 instructions interpreted.",
                "Board 0 programmed successfully.",
            })),
            run.output);
  EXPECT_EQ(0, run.exit_status);
  EXPECT_EQ(lines({"100", "0 0 0 1000", "137 2 4 2500", "255 2 2 500", "255 0 0 1e+06", "0 3 2 1e+06",
                   "15 4 10 20000", "0 3 1 1000", "0 7 10 1e+09", "0 8 0 1000", "0 1 0 1000", "1 0 0 100",
                   "0 5 0 100"}),
            board_memory());
}

// Every sample program shipped loads cleanly.
TEST_F(CdmcliLoad, EveryExampleLoads) {
  int examples = 0;
  for (const auto& entry : std::filesystem::directory_iterator(EXAMPLES_DIR)) {
    if (entry.path().extension() != ".cdm") continue;
    ++examples;
    const ProgramRun run = load_file(entry.path().string());
    EXPECT_EQ(0, run.exit_status) << entry.path() << "\n" << run.output;
    const std::string closing = platform_text("Board 0 programmed successfully.\n");
    EXPECT_TRUE(run.output.size() >= closing.size() &&
                run.output.compare(run.output.size() - closing.size(), closing.size(), closing) == 0)
        << entry.path() << "\n" << run.output;
  }
  EXPECT_GE(examples, 2);
}

}  // namespace
