#include "memory_board.h"

// This program defines the operations itself instead of importing them.
#define MORVAPI_BUILDING
#include "morvapi.h"

BoardProgram& memory_board_program() {
  static BoardProgram program;
  return program;
}

extern "C" {
int cdm_select_board(int) { return 0; }
int cdm_init(void) { return 0; }
int cdm_close(void) { return 0; }
int cdm_start(void) { return 0; }
int cdm_stop(void) { return 0; }
const char* cdm_get_version(void) { return "cdmsim memory board"; }
int cdm_get_firmware_id(void) { return 0; }
int cdm_set_debug(int) { return 0; }

int cdm_core_clock(double clock_mhz) {
  memory_board_program().clock_mhz = clock_mhz;
  return 0;
}

int cdm_start_programming(int) {
  memory_board_program().instructions.clear();
  return 0;
}

int cdm_inst_cdmonly(unsigned output_pattern, int opcode, int data, double duration_ns) {
  auto& instructions = memory_board_program().instructions;
  instructions.push_back({output_pattern, opcode, data, duration_ns});
  return static_cast<int>(instructions.size() - 1);
}

int cdm_stop_programming(void) { return 0; }
const char* cdm_get_error(void) { return ""; }
}

#if defined(_WIN32)
// The interpreter is compiled to call the board library through a DLL's
// import table; linked against this board instead, its calls find the
// table entries here.
extern "C" {
#define IMPORT_ENTRY(name) \
  extern void* const __imp_##name; \
  void* const __imp_##name = reinterpret_cast<void*>(&name);
IMPORT_ENTRY(cdm_init)
IMPORT_ENTRY(cdm_close)
IMPORT_ENTRY(cdm_core_clock)
IMPORT_ENTRY(cdm_start_programming)
IMPORT_ENTRY(cdm_inst_cdmonly)
IMPORT_ENTRY(cdm_stop_programming)
IMPORT_ENTRY(cdm_get_error)
#undef IMPORT_ENTRY
}
#endif
