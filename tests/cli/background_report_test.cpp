#include "background_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A console stand-in that remembers what arrived between its flushes.
class FlushRecorder : public std::streambuf {
 public:
  std::vector<std::string> pieces;

 protected:
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) pending_ += traits_type::to_char_type(c);
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    pending_.append(text, static_cast<std::size_t>(count));
    return count;
  }
  int sync() override {
    pieces.push_back(pending_);
    pending_.clear();
    return 0;
  }

 private:
  std::string pending_;
};

TEST(BackgroundReport, EveryFlushedPieceArrivesWholeAndFlushedInOrder) {
  FlushRecorder console;
  std::ostream target(&console);
  const std::string longer_than_the_buffer = "Got " + std::string(3 << 20, '9') + ".\n";
  {
    BackgroundReport report(target);
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
  FlushRecorder console;
  std::ostream target(&console);
  constexpr int kLines = 100000;  // megabytes, far past what is held back
  BackgroundReport report(target);
  for (int i = 0; i < kLines; ++i) report << "Line " << i << ": 0X0F, 1US, CONTINUE, 0" << std::endl;
  report.finish();
  ASSERT_EQ(console.pieces.size(), static_cast<std::size_t>(kLines));
  for (int i = 0; i < kLines; i += 9973)
    EXPECT_EQ(console.pieces[i], "Line " + std::to_string(i) + ": 0X0F, 1US, CONTINUE, 0\n");
}

}  // namespace
