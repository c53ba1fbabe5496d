// Line and column of a position in the source pane's text.
#pragma once

#include <string>
#include <string_view>

struct CaretPosition {
  int line = 1;
  int column = 1;
};

// Counts over the text in front of the caret: an LF starts a new line, a CR
// counts for nothing (line breaks are CR LF in the pane) and every other
// character, a tab included, is one column.
CaretPosition caret_position(std::string_view text_before_caret);

// "Line %d, Column %d", the position label's text.
std::string position_label_text(CaretPosition position);
