// The listing writes durations without the stream; its characters must stay
// those of the stream's default notation, checked here against the stream.
#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>

#include "number_text.h"

namespace {

std::string stream_text(double value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

std::string listing_text(double value) {
  char text[kNumberTextSize];
  return std::string(text, write_default_float(text, value));
}

TEST(NumberFormat, DurationsAsTheStreamWritesThem) {
  const double kInfinity = std::numeric_limits<double>::infinity();
  for (double value : {0.0, -0.0, 1.0, 0.5, 2500.0, 999999.0, 999999.4, 999999.5, 1e6, 1234567.0, 7.59e8, 1e9,
                       637e9, 131.6e9, 1e-4, 9.99999e-5, 1e-5, 0.0001234565, 123456.5, 2.5e-7, 1e21, 1.5e300,
                       kInfinity, 4294967296.0})
    EXPECT_EQ(listing_text(value), stream_text(value)) << value;
  // Every source time of up to four digits with one decimal, in each unit.
  for (double factor : {1.0, 1e3, 1e6, 1e9})
    for (int tenths = 0; tenths < 100000; tenths += 7) {
      const double value = tenths / 10.0 * factor;
      ASSERT_EQ(listing_text(value), stream_text(value)) << tenths << " x " << factor;
    }
}

}  // namespace
