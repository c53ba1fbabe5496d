#include "control_layout.h"

#include <algorithm>

namespace {

constexpr int kButtonRowHeight = 30;
constexpr int kButtonWidth = 100;
constexpr int kBottomRowHeight = 20;

int not_negative(int size) { return std::max(size, 0); }

}  // namespace

ControlLayout compute_layout(int client_width, int client_height) {
  const int W = client_width;
  const int H = client_height;
  const int pane_space = H - kButtonRowHeight - kBottomRowHeight;
  const int bottom = H - kBottomRowHeight;
  // The products are taken in double precision and truncated toward zero,
  // so the two panes may leave a pixel or two between them unused.
  const int source_height = static_cast<int>(pane_space * 0.7);
  const int output_y = static_cast<int>(pane_space * 0.7 + kButtonRowHeight);
  const int output_height = static_cast<int>(pane_space * 0.3);

  ControlLayout layout;
  for (std::size_t i = kOpenButtonSlot; i <= kStopButtonSlot; ++i)
    layout[i] = {static_cast<int>(i) * kButtonWidth, 0, kButtonWidth, kButtonRowHeight};
  layout[kSourcePaneSlot] = {0, kButtonRowHeight, not_negative(W), not_negative(source_height)};
  layout[kOutputPaneSlot] = {0, output_y, not_negative(W), not_negative(output_height)};
  layout[kFrequencyLabelSlot] = {0, bottom, 125, kBottomRowHeight};
  layout[kFrequencyBoxSlot] = {125, bottom, 75, kBottomRowHeight};
  layout[kUnitLabelSlot] = {200, bottom, 30, kBottomRowHeight};
  layout[kBoardLabelSlot] = {230, bottom, 150, kBottomRowHeight};
  layout[kBoardBoxSlot] = {360, bottom, 50, kBottomRowHeight};
  // Wider than what is left of the row: the label runs 50 pixels past the
  // right edge, which puts its centred text where users are used to it.
  layout[kPositionLabelSlot] = {410, bottom, not_negative(W - 360), kBottomRowHeight};
  return layout;
}
