#include "recording_board.h"

#include <charconv>

// Defining the operations here, not importing them.
#define MORVAPI_BUILDING
#include "morvapi.h"

namespace {

RecordingBoard board;

int record(const std::string& call, int result = 0) {
  board.calls += call + "\n";
  return result;
}

std::string number_text(double value) {
  char buffer[64];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

}  // namespace

RecordingBoard& recording_board() { return board; }

void reset_recording_board() { board = RecordingBoard(); }

extern "C" {

int cdm_select_board(int board_number) { return record("cdm_select_board " + std::to_string(board_number)); }
int cdm_init(void) { return record("cdm_init", board.init_result); }
int cdm_close(void) { return record("cdm_close"); }
int cdm_start(void) { return record("cdm_start"); }
int cdm_stop(void) { return record("cdm_stop"); }
const char* cdm_get_version(void) { return record("cdm_get_version"), "recording board"; }
int cdm_get_firmware_id(void) { return record("cdm_get_firmware_id", 0x0102); }
int cdm_set_debug(int enable) { return record("cdm_set_debug " + std::to_string(enable)); }
int cdm_core_clock(double clock_mhz) { return record("cdm_core_clock " + number_text(clock_mhz)); }
int cdm_start_programming(int mode) { return record("cdm_start_programming " + std::to_string(mode)); }
int cdm_stop_programming(void) { return record("cdm_stop_programming"); }
const char* cdm_get_error(void) { return record("cdm_get_error"), "write refused"; }

int cdm_inst_cdmonly(unsigned output_pattern, int opcode, int data, double duration_ns) {
  record("cdm_inst_cdmonly " + std::to_string(output_pattern) + " " + std::to_string(opcode) + " " +
         std::to_string(data) + " " + number_text(duration_ns));
  if (board.instructions_written == board.fail_write_at) return -1;
  return board.instructions_written++;
}

}  // extern "C"
