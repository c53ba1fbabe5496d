#include "background_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A console stand-in that remembers each piece it was given.
struct PieceRecorder : ReportSink {
  std::vector<std::string> pieces;
  bool write_piece(const char* text, std::size_t length) override {
    pieces.emplace_back(text, length);
    return true;
  }
};

TEST(BackgroundReport, EveryFlushedPieceArrivesWholeAndFlushedInOrder) {
  PieceRecorder console;
  const std::string longer_than_the_buffer = "Got " + std::string(3 << 20, '9') + ".\n";
  {
    BackgroundReport report(console);
    report << "Using Clock Frequency of " << 100 << " MHz." << std::endl << std::endl;
    report.write("Line 1: 15 1000 0 0\n", 20).flush();
    report.flush();  // nothing new: no empty piece
    report << longer_than_the_buffer << std::flush << "Line 2:" << std::endl;
    report << "unflushed at the end";
  }
  const std::vector<std::string> expected = {"Using Clock Frequency of 100 MHz.\n", "\n", "Line 1: 15 1000 0 0\n",
                                             longer_than_the_buffer, "Line 2:\n", "unflushed at the end"};
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

}  // namespace
