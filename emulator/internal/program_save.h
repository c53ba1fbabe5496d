// Saving a board's memory as the emulator keeps it, in a board file. The
// lines are kept as they come and room on the disk is set aside
// for each before the board accepts it, so that a memory that cannot be
// saved is known at the instruction that does not fit, the one result a
// programmer looks at, and not only when programming ends.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "instruction.h"
#include "replacing_file.h"

class ProgramSave {
 public:
  // Starts a save that replaces `target`, with memory set aside for about
  // `expected` lines; false with error() when the target cannot be replaced.
  bool begin(const std::filesystem::path& target, std::size_t expected);
  // False with error() when the disk has no room for this line.
  bool add(const InstructionFields& instruction);
  // Writes the clock and every line and puts the file in place; false with
  // error() when that fails, the old file then kept whole.
  bool finish(double clock_mhz);
  // Ends the save without touching the board's file.
  void abandon();

  std::size_t count() const { return count_; }
  const std::string& error() const { return error_; }

 private:
  bool fail(std::string why);

  std::unique_ptr<ReplacingFile> file_;
  std::string lines_;
  std::size_t count_ = 0;
  std::string error_;
};
