#include "journal_format.h"

#include <charconv>

std::string shortest_double_text(double value) {
  char buffer[64];
  auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::string(buffer, end);
}

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
  text_ += shortest_double_text(value);
  return *this;
}

std::string JournalLine::result(int value) const { return text_ + " -> " + std::to_string(value); }
