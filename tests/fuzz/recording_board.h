// A stand-in for the board library that records every call, one text line
// per call ("cdm_inst_cdmonly 1 0 0 10000"), and answers as the fuzzer asks.
#pragma once

#include <string>

struct RecordingBoard {
  int init_result = 0;     // nonzero: no board
  int fail_write_at = -1;  // index of the instruction write that fails
  std::string calls;       // every call so far, each line ended by a line feed
  int instructions_written = 0;
};

RecordingBoard& recording_board();
void reset_recording_board();
