// A board held in memory: the interpreter programs it exactly as Load
// programs a real board, and it keeps what was written, for cdmsim and the
// timing view to run.
#pragma once

#include <utility>

#include "board.h"

class MemoryBoard : public Board {
 public:
  int init() override { return 0; }
  int close() override { return 0; }
  int core_clock(double clock_mhz) override;
  int start_programming(int mode) override;
  void expect_instructions(std::size_t count) override { program_.instructions.reserve(count); }
  int write_instruction(const InstructionFields& instruction) override;
  int stop_programming() override { return 0; }
  const char* error() override { return ""; }

  // The clock and instructions of the latest programming.
  BoardProgram take_program() { return std::move(program_); }

 private:
  BoardProgram program_;
};
