#include "board_trace.h"

#include <string>

#include "board_program.h"
#include "simulation.h"
#include "state_folder.h"
#include "vcd_writer.h"

namespace fs = std::filesystem;

bool write_board_trace(const fs::path& folder, int board, double trace_ns) {
  const std::string name = "board" + std::to_string(board);
  const auto program = parse_board_program(read_file_text(folder / (name + ".program")));
  if (!program) return false;
  SimulationSettings settings;
  settings.until_ns = trace_ns;
  return write_file_atomically(folder / (name + ".vcd"), [&](std::FILE* file) {
    TextOutput out(file);
    VcdWriter vcd(out, program->clock_mhz);
    vcd.finish(simulate(*program, settings, vcd));
    return out.flush();
  });
}
