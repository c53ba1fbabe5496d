#include "journal_format.h"

#include "board_file.h"

JournalLine& JournalLine::arg(int value) {
  if (!recorded_) return *this;
  text_ += ' ';
  text_ += std::to_string(value);
  return *this;
}

JournalLine& JournalLine::arg(unsigned value) {
  if (!recorded_) return *this;
  text_ += ' ';
  text_ += std::to_string(value);
  return *this;
}

JournalLine& JournalLine::arg(double value) {
  if (!recorded_) return *this;
  text_ += ' ';
  text_ += shortest_text(value);
  return *this;
}

std::string JournalLine::result(int value) const { return text_ + " -> " + std::to_string(value); }
