#include "step_store.h"

namespace {

template <typename Value, typename Field>
void join(std::vector<Value>& whole, std::size_t total, std::vector<Field>& blocks, std::vector<Value> Field::*part) {
  whole.reserve(total);
  for (Field& block : blocks) {
    std::vector<Value>& values = block.*part;
    whole.insert(whole.end(), values.begin(), values.end());
    std::vector<Value>().swap(values);
  }
}

}  // namespace

void StepStore::step(const Step& step) {
  if (blocks_.empty() || blocks_.back().cycles.size() == kBlock) {
    blocks_.emplace_back();
    Block& block = blocks_.back();
    block.cycles.reserve(blocks_.size() == 1 ? 1024 : kBlock);
    block.outputs.reserve(blocks_.size() == 1 ? 1024 : kBlock);
    block.addresses.reserve(blocks_.size() == 1 ? 1024 : kBlock);
  }
  Block& block = blocks_.back();
  block.cycles.push_back(step.cycle);
  block.outputs.push_back(step.outputs);
  block.addresses.push_back(step.address);
  went_round_.push_back(step.jumps_back);
}

void StepStore::finish() {
  const std::size_t total = went_round_.size();
  join(cycles_, total, blocks_, &Block::cycles);
  join(outputs_, total, blocks_, &Block::outputs);
  join(addresses_, total, blocks_, &Block::addresses);
  blocks_.clear();
  blocks_.shrink_to_fit();
}

void StepStore::replay(const BoardProgram& program, const RunEnd& end, StepSink& sink) const {
  const std::size_t count = size();
  for (std::size_t i = 0; i < count; ++i) {
    const InstructionFields& instruction = program.instructions[addresses_[i]];
    Step step;
    step.cycle = cycles_[i];
    step.cycles = (i + 1 < count ? cycles_[i + 1] : end.cycle) - step.cycle;
    step.address = addresses_[i];
    step.outputs = outputs_[i];
    step.opcode = instruction.opcode;
    step.data = instruction.data;
    step.jumps_back = went_round_[i];
    sink.step(step);
  }
}
