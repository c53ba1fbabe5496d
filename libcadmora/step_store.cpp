#include "step_store.h"

void StepStore::finish() {
  cycles_.shrink_to_fit();
  outputs_.shrink_to_fit();
  addresses_.shrink_to_fit();
  went_round_.shrink_to_fit();
}

void StepStore::replay(const BoardProgram& program, const RunEnd& end, StepSink& sink) const {
  const std::size_t count = size();
  for (std::size_t i = 0; i < count; ++i) {
    const InstructionFields& instruction = program.instructions[addresses_[i]];
    Step step;
    step.cycle = cycles_[i];
    step.cycles = length(i, end.cycle);
    step.address = addresses_[i];
    step.outputs = outputs_[i];
    step.opcode = instruction.opcode;
    step.data = instruction.data;
    step.jumps_back = (went_round_[i / 64] >> i % 64 & 1) != 0;
    sink.step(step);
  }
}
