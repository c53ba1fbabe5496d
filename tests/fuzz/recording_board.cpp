#include "recording_board.h"

#include "board_file.h"

int RecordingBoard::record(const std::string& call, int result) {
  calls += call + "\n";
  return result;
}

int RecordingBoard::init() { return record("init", init_result); }
int RecordingBoard::close() { return record("close"); }
int RecordingBoard::core_clock(double clock_mhz) { return record("core_clock " + shortest_text(clock_mhz)); }
int RecordingBoard::start_programming(int mode) { return record("start_programming " + std::to_string(mode)); }
int RecordingBoard::stop_programming() { return record("stop_programming"); }
const char* RecordingBoard::error() { return record("error"), "write refused"; }

int RecordingBoard::write_instruction(const InstructionFields& instruction) {
  std::string line = "write_instruction ";
  append_board_file_line(line, instruction);
  line.pop_back();
  record(line);
  if (instructions_written_ == fail_write_at) return -1;
  return instructions_written_++;
}
