#include "library_board.h"

#include "morvapi.h"

namespace {

class LibraryBoard : public Board {
 public:
  int init() override { return cdm_init(); }
  int close() override { return cdm_close(); }
  int core_clock(double clock_mhz) override { return cdm_core_clock(clock_mhz); }
  int start_programming(int mode) override { return cdm_start_programming(mode); }
  int write_instruction(const InstructionFields& i) override {
    return cdm_inst_cdmonly(i.output_value, i.opcode, i.data, i.duration_ns);
  }
  int stop_programming() override { return cdm_stop_programming(); }
  const char* error() override {
    const char* text = cdm_get_error();
    return text != nullptr ? text : "";
  }
};

}  // namespace

Board& library_board() {
  static LibraryBoard board;
  return board;
}
