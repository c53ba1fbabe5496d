#include "background_report.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <future>
#include <string>
#include <vector>

namespace {

// A console stand-in that remembers each piece it was given; past `room`
// pieces it fails, as a reader that goes away does.
struct PieceRecorder : ReportSink {
  std::vector<std::string> pieces;
  std::size_t room = SIZE_MAX;
  std::size_t asked = 0;
  bool write_piece(const char* text, std::size_t length) override {
    if (++asked > room) return false;
    pieces.emplace_back(text, length);
    return true;
  }
};

TEST(BackgroundReport, EveryFlushedPieceArrivesWholeAndFlushedInOrder) {
  PieceRecorder console;
  const std::string longer_than_what_may_wait = "Got " + std::string(9 << 20, '9') + ".\n";
  {
    BackgroundReport report(console);
    report << "Using Clock Frequency of " << 100 << " MHz." << std::endl << std::endl;
    report.write("Line 1: 15 1000 0 0\n", 20).flush();
    report.flush();  // nothing new: no empty piece
    report << longer_than_what_may_wait << std::flush << "Line 2:" << std::endl;
    report << "unflushed at the end";
  }
  const std::vector<std::string> expected = {"Using Clock Frequency of 100 MHz.\n", "\n", "Line 1: 15 1000 0 0\n",
                                             longer_than_what_may_wait, "Line 2:\n", "unflushed at the end"};
  EXPECT_EQ(console.pieces, expected);
}

TEST(BackgroundReport, AReportFarLongerThanItsBufferArrivesComplete) {
  PieceRecorder console;
  constexpr int kLines = 600000;  // tens of megabytes, far past what is held back
  BackgroundReport report(console);
  for (int i = 0; i < kLines; ++i) report << "Line " << i << ": 0X0F, 1US, CONTINUE, 0" << std::endl;
  report.finish();
  ASSERT_EQ(console.pieces.size(), static_cast<std::size_t>(kLines));
  for (int i = 0; i < kLines; i += 9973)
    EXPECT_EQ(console.pieces[i], "Line " + std::to_string(i) + ": 0X0F, 1US, CONTINUE, 0\n");
}

// The interpreter may wait on the board for long after a line: the line does
// not wait with it.
TEST(BackgroundReport, AFlushedLineArrivesWhileNothingMoreIsWritten) {
  struct Signal : ReportSink {
    std::promise<std::string> first;
    bool write_piece(const char* text, std::size_t length) override {
      first.set_value(std::string(text, length));
      return false;
    }
  } console;
  std::future<std::string> arrived = console.first.get_future();
  BackgroundReport report(console);
  report << "Parse Values:" << std::endl;
  ASSERT_EQ(std::future_status::ready, arrived.wait_for(std::chrono::minutes(1)));
  EXPECT_EQ("Parse Values:\n", arrived.get());
}

// A reader that goes away ends the report, not the run that writes it.
TEST(BackgroundReport, OnceTheSinkFailsTheRestIsDroppedAndWritingGoesOn) {
  PieceRecorder console;
  console.room = 3;
  BackgroundReport report(console);
  for (int i = 0; i < 100000; ++i) report << "Line " << i << std::endl;
  report.finish();
  EXPECT_TRUE(report.good());
  EXPECT_EQ(4u, console.asked);
  EXPECT_EQ((std::vector<std::string>{"Line 0\n", "Line 1\n", "Line 2\n"}), console.pieces);
}

}  // namespace
