#include <gtest/gtest.h>

#include "control_layout.h"

namespace {

TEST(ControlLayout, PlacesEveryControlForAClientArea) {
  const struct {
    int width, height;
    ControlLayout expected;
  } cases[] = {
      // What a 640 x 480 window with a menu bar leaves inside: pane space
      // 371, of which 0.7 is 259.7 and 0.3 is 111.3, both truncated.
      {624, 421, {{{0, 0, 100, 30}, {100, 0, 100, 30}, {200, 0, 100, 30}, {300, 0, 100, 30}, {400, 0, 100, 30},
                   {0, 30, 624, 259}, {0, 289, 624, 111}, {0, 401, 125, 20}, {125, 401, 75, 20}, {200, 401, 30, 20},
                   {230, 401, 150, 20}, {360, 401, 50, 20}, {410, 401, 264, 20}}}},
      // Minimised: no room for the panes, and no negative size.
      {0, 0, {{{0, 0, 100, 30}, {100, 0, 100, 30}, {200, 0, 100, 30}, {300, 0, 100, 30}, {400, 0, 100, 30},
               {0, 30, 0, 0}, {0, -5, 0, 0}, {0, -20, 125, 20}, {125, -20, 75, 20}, {200, -20, 30, 20},
               {230, -20, 150, 20}, {360, -20, 50, 20}, {410, -20, 0, 20}}}},
  };
  for (const auto& c : cases) {
    const ControlLayout layout = compute_layout(c.width, c.height);
    for (std::size_t i = 0; i < kLayoutSlotCount; ++i)
      EXPECT_TRUE(c.expected[i] == layout[i]) << c.width << "x" << c.height << " slot " << i << ": " << layout[i].x
                                              << "," << layout[i].y << " " << layout[i].width << "x" << layout[i].height;
  }
  // 11 pixels of pane space: 7.7 and 3.3 both truncate.
  EXPECT_TRUE((ControlPlace{0, 37, 500, 3}) == compute_layout(500, 61)[kOutputPaneSlot]);
}

}  // namespace
