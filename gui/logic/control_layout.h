// Where each control of the main window goes for a given client area.
#pragma once

#include <array>
#include <cstddef>

struct ControlPlace {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const ControlPlace& other) const {
    return x == other.x && y == other.y && width == other.width && height == other.height;
  }
};

// The controls in the order they are placed.
enum LayoutSlot : std::size_t {
  kOpenButtonSlot,
  kSaveButtonSlot,
  kLoadButtonSlot,
  kStartButtonSlot,
  kStopButtonSlot,
  kSourcePaneSlot,
  kOutputPaneSlot,
  kFrequencyLabelSlot,
  kFrequencyBoxSlot,
  kUnitLabelSlot,
  kBoardLabelSlot,
  kBoardBoxSlot,
  kPositionLabelSlot,
  kLayoutSlotCount
};

using ControlLayout = std::array<ControlPlace, kLayoutSlotCount>;

// A 30-pixel button row on top, a 20-pixel row of boxes and labels at the
// bottom, and the two panes sharing what is left 7 : 3. A client area too
// small for the rows (a minimised window is 0 x 0) gives zero sizes, never
// negative ones.
ControlLayout compute_layout(int client_width, int client_height);
