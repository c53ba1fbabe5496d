#include <gtest/gtest.h>

#include "control_layout.h"

namespace {

const char* const kSlotNames[kLayoutSlotCount] = {
    "open",      "save",          "load",          "start",     "stop",      "source",   "output",
    "frequency label", "frequency box", "unit label", "board label", "board box", "position"};

void expect_layout(const ControlLayout& expected, const ControlLayout& actual) {
  for (std::size_t i = 0; i < kLayoutSlotCount; ++i) {
    EXPECT_EQ(expected[i].x, actual[i].x) << kSlotNames[i];
    EXPECT_EQ(expected[i].y, actual[i].y) << kSlotNames[i];
    EXPECT_EQ(expected[i].width, actual[i].width) << kSlotNames[i];
    EXPECT_EQ(expected[i].height, actual[i].height) << kSlotNames[i];
  }
}

TEST(ControlLayout, ClientAreaOfAClassicWindowOf640By480) {
  // 624 x 421 is what a 640 x 480 window with a menu bar leaves inside.
  // Pane space 371: 0.7 of it is 259.7, 0.3 of it 111.3.
  expect_layout({{{0, 0, 100, 30},
                  {100, 0, 100, 30},
                  {200, 0, 100, 30},
                  {300, 0, 100, 30},
                  {400, 0, 100, 30},
                  {0, 30, 624, 259},
                  {0, 289, 624, 111},
                  {0, 401, 125, 20},
                  {125, 401, 75, 20},
                  {200, 401, 30, 20},
                  {230, 401, 150, 20},
                  {360, 401, 50, 20},
                  {410, 401, 264, 20}}},
                compute_layout(624, 421));
}

TEST(ControlLayout, PanesSplitSevenToThreeWithTruncation) {
  struct Case {
    int height;
    int source_height;
    int output_y;
    int output_height;
  } const cases[] = {
      {150, 70, 100, 30},   // 100 pixels share exactly
      {60, 7, 37, 3},       // 10 pixels
      {61, 7, 37, 3},       // 11: 7.7 and 3.3 both truncate
      {50, 0, 30, 0},       // no room left for the panes
      {1050, 700, 730, 300},
  };
  for (const Case& c : cases) {
    const ControlLayout layout = compute_layout(500, c.height);
    EXPECT_EQ(c.source_height, layout[kSourcePaneSlot].height) << c.height;
    EXPECT_EQ(c.output_y, layout[kOutputPaneSlot].y) << c.height;
    EXPECT_EQ(c.output_height, layout[kOutputPaneSlot].height) << c.height;
    EXPECT_EQ(c.height - 20, layout[kBoardBoxSlot].y) << c.height;
  }
}

TEST(ControlLayout, WideningMovesOnlyTheRightEndsOfPanesAndPositionLabel) {
  const ControlLayout narrow = compute_layout(624, 421);
  const ControlLayout wide = compute_layout(1000, 421);
  for (std::size_t i = 0; i < kLayoutSlotCount; ++i) {
    EXPECT_EQ(narrow[i].x, wide[i].x) << kSlotNames[i];
    EXPECT_EQ(narrow[i].y, wide[i].y) << kSlotNames[i];
    EXPECT_EQ(narrow[i].height, wide[i].height) << kSlotNames[i];
    const bool stretches = i == kSourcePaneSlot || i == kOutputPaneSlot || i == kPositionLabelSlot;
    if (stretches)
      EXPECT_EQ(narrow[i].width + 376, wide[i].width) << kSlotNames[i];
    else
      EXPECT_EQ(narrow[i].width, wide[i].width) << kSlotNames[i];
  }
}

TEST(ControlLayout, MinimisedWindowGivesNoNegativeSizes) {
  for (const auto& [width, height] : {std::pair{0, 0}, std::pair{100, 10}, std::pair{359, 49}}) {
    for (const ControlPlace& place : compute_layout(width, height)) {
      EXPECT_GE(place.width, 0) << width << "x" << height;
      EXPECT_GE(place.height, 0) << width << "x" << height;
    }
  }
}

}  // namespace
