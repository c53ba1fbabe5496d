// Formats one line of the emulator's call journal: the operation's name, each
// argument after a blank and, for operations with an int result, " -> " and
// the result.
#pragma once

#include <string>

class JournalLine {
 public:
  // A line that is not `recorded` formats nothing, so calls cost nothing
  // extra while the journal is off.
  explicit JournalLine(const char* operation, bool recorded = true) : recorded_(recorded) {
    if (recorded_) text_ = operation;
  }
  JournalLine& arg(int value);
  JournalLine& arg(unsigned value);
  // The shortest text that reads back as the same double: 100, 0.5, 1e+09.
  JournalLine& arg(double value);
  std::string result(int value) const;
  const std::string& text() const { return text_; }

 private:
  bool recorded_;
  std::string text_;
};

