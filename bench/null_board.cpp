// A board that accepts everything and records nothing, so the benchmarks
// measure the interpreter alone.
#include "morvapi.h"

extern "C" {
int cdm_select_board(int) { return 0; }
int cdm_init(void) { return 0; }
int cdm_close(void) { return 0; }
int cdm_start(void) { return 0; }
int cdm_stop(void) { return 0; }
const char* cdm_get_version(void) { return "null board"; }
int cdm_get_firmware_id(void) { return 0; }
int cdm_set_debug(int) { return 0; }
int cdm_core_clock(double) { return 0; }
int cdm_start_programming(int) { return 0; }
int cdm_inst_cdmonly(unsigned, int, int, double) { return 0; }
int cdm_stop_programming(void) { return 0; }
const char* cdm_get_error(void) { return ""; }
}
