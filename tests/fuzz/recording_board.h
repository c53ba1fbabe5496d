// A board for the fuzzer that records every call, one text line per call
// ("write_instruction 1 0 0 10000"), and answers as the fuzzer asks.
#pragma once

#include <string>

#include "board.h"

class RecordingBoard : public Board {
 public:
  int init_result = 0;     // nonzero: no board
  int fail_write_at = -1;  // index of the instruction write that fails
  std::string calls;       // every call so far, each line ended by a line feed

  int init() override;
  int close() override;
  int core_clock(double clock_mhz) override;
  int start_programming(int mode) override;
  int write_instruction(const InstructionFields& instruction) override;
  int stop_programming() override;
  const char* error() override;

 private:
  int record(const std::string& call, int result = 0);
  int instructions_written_ = 0;
};
