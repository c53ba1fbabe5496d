#include "library_board.h"

#include "morvapi.h"

namespace {

// A text the library hands out, never null.
const char* text_or_empty(const char* text) { return text != nullptr ? text : ""; }

class LibraryBoard : public Board {
 public:
  int select_board(int board_number) override { return cdm_select_board(board_number); }
  int init() override { return cdm_init(); }
  int close() override { return cdm_close(); }
  int start() override { return cdm_start(); }
  int stop() override { return cdm_stop(); }
  const char* version() override { return text_or_empty(cdm_get_version()); }
  int firmware_id() override { return cdm_get_firmware_id(); }
  int set_debug(int enable) override { return cdm_set_debug(enable); }
  int core_clock(double clock_mhz) override { return cdm_core_clock(clock_mhz); }
  int start_programming(int mode) override { return cdm_start_programming(mode); }
  int write_instruction(const InstructionFields& i) override {
    return cdm_inst_cdmonly(i.output_value, i.opcode, i.data, i.duration_ns);
  }
  int stop_programming() override { return cdm_stop_programming(); }
  const char* error() override { return text_or_empty(cdm_get_error()); }
};

}  // namespace

Board& library_board() {
  static LibraryBoard board;
  return board;
}
