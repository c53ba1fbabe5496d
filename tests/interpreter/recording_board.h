// A stand-in for the board library that records every call, one text line
// per call ("cdm_inst_cdmonly 1 0 0 10000"), and answers as a test asks.
#pragma once

#include <string>

struct RecordingBoard {
  // What the board answers.
  int init_result = 0;                       // nonzero: no board
  int fail_write_at = -1;                    // index of the instruction write that fails
  const char* error_text = "write refused";  // cdm_get_error's text, may be null
  int ignored_results = 0;                   // returned by the calls whose results are ignored

  // Every call so far, each line ended by a line feed.
  std::string calls;
  int instructions_written = 0;
};

// The board the fake operations act on; reset before each test.
RecordingBoard& recording_board();
void reset_recording_board();
