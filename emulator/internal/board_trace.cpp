#include "board_trace.h"

#include "board_file.h"
#include "replacing_file.h"
#include "simulation.h"
#include "state_folder.h"
#include "vcd_writer.h"

namespace fs = std::filesystem;

TraceOutcome write_board_trace(const fs::path& folder, int board, double trace_ns) {
  const fs::path target = board_path(folder, board, ".vcd");
  const auto program = parse_board_program(read_file_text(board_path(folder, board, ".program")));
  if (!program || !clock_gives_finite_times(program->clock_mhz)) return TraceOutcome::NotWritten;
  SimulationSettings settings;
  settings.until_ns = trace_ns;
  settings.max_steps = kTraceStepLimit;
  EndReason reason = EndReason::Stop;
  const bool written = write_file_atomically(target, [&](std::FILE* file) {
    TextOutput out(file);
    const CycleWindow window{0, first_cycle_at(trace_ns, program->clock_mhz)};
    VcdWriter vcd(out, WriterSettings{program->clock_mhz, window, {}, std::nullopt});
    const RunEnd end = simulate(*program, settings, vcd);
    reason = end.reason;
    vcd.finish(end);
    return out.flush();
  });
  if (!written) return TraceOutcome::NotWritten;
  return reason == EndReason::StepLimit ? TraceOutcome::Cut : TraceOutcome::Written;
}
