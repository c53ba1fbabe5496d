#include "caret_position.h"

CaretPosition caret_position(std::string_view text_before_caret) {
  CaretPosition position;
  for (char c : text_before_caret) {
    if (c == '\r') continue;
    if (c == '\n') {
      ++position.line;
      position.column = 1;
      continue;
    }
    ++position.column;
  }
  return position;
}

std::string position_label_text(CaretPosition position) {
  return "Line " + std::to_string(position.line) + ", Column " + std::to_string(position.column);
}
