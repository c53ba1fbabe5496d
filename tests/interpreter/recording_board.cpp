#include "recording_board.h"

#include <charconv>

// Defining the operations here, not importing them.
#define MORVAPI_BUILDING
#include "morvapi.h"

namespace {

RecordingBoard board;

std::string number_text(double value) {
  char buffer[64];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

void record(const std::string& call) {
  board.calls += call;
  board.calls += '\n';
}

int record_ignored(const char* name) {
  record(name);
  return board.ignored_results;
}

}  // namespace

RecordingBoard& recording_board() { return board; }

void reset_recording_board() { board = RecordingBoard(); }

extern "C" {

int cdm_select_board(int board_number) {
  record("cdm_select_board " + std::to_string(board_number));
  return 0;
}

int cdm_init(void) {
  record("cdm_init");
  return board.init_result;
}

int cdm_close(void) { return record_ignored("cdm_close"); }
int cdm_start(void) { return record_ignored("cdm_start"); }
int cdm_stop(void) { return record_ignored("cdm_stop"); }

const char* cdm_get_version(void) {
  record("cdm_get_version");
  return "recording board";
}

int cdm_get_firmware_id(void) {
  record("cdm_get_firmware_id");
  return 0x0102;
}

int cdm_set_debug(int enable) {
  record("cdm_set_debug " + std::to_string(enable));
  return board.ignored_results;
}

int cdm_core_clock(double clock_mhz) {
  record("cdm_core_clock " + number_text(clock_mhz));
  return board.ignored_results;
}

int cdm_start_programming(int mode) {
  record("cdm_start_programming " + std::to_string(mode));
  return board.ignored_results;
}

int cdm_inst_cdmonly(unsigned output_pattern, int opcode, int data, double duration_ns) {
  record("cdm_inst_cdmonly " + std::to_string(output_pattern) + " " + std::to_string(opcode) + " " +
         std::to_string(data) + " " + number_text(duration_ns));
  if (board.instructions_written == board.fail_write_at) return -1;
  return board.instructions_written++;
}

int cdm_stop_programming(void) { return record_ignored("cdm_stop_programming"); }

const char* cdm_get_error(void) {
  record("cdm_get_error");
  return board.error_text;
}

}  // extern "C"

#if defined(_WIN32)
// The interpreter is compiled to call the board library through a DLL's
// import table. Linked against this fake instead, those calls find the
// table entries here.
extern "C" {
#define IMPORT_ENTRY(name) \
  extern void* const __imp_##name; \
  void* const __imp_##name = reinterpret_cast<void*>(&name);
IMPORT_ENTRY(cdm_select_board)
IMPORT_ENTRY(cdm_init)
IMPORT_ENTRY(cdm_close)
IMPORT_ENTRY(cdm_start)
IMPORT_ENTRY(cdm_stop)
IMPORT_ENTRY(cdm_get_version)
IMPORT_ENTRY(cdm_get_firmware_id)
IMPORT_ENTRY(cdm_set_debug)
IMPORT_ENTRY(cdm_core_clock)
IMPORT_ENTRY(cdm_start_programming)
IMPORT_ENTRY(cdm_inst_cdmonly)
IMPORT_ENTRY(cdm_stop_programming)
IMPORT_ENTRY(cdm_get_error)
#undef IMPORT_ENTRY
}
#endif
