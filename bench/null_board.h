// A board that accepts everything and keeps nothing, so the benchmarks
// measure the interpreter alone.
#pragma once

#include "board.h"

class NullBoard : public Board {
 public:
  int init() override { return 0; }
  int close() override { return 0; }
  int core_clock(double) override { return 0; }
  int start_programming(int) override { return 0; }
  int write_instruction(const InstructionFields&) override { return 0; }
  int stop_programming() override { return 0; }
  const char* error() override { return ""; }
};
