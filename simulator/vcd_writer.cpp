#include "vcd_writer.h"

#include <cmath>
#include <string>

namespace {

constexpr int kBits = kOutputCount;

// Identifier codes: output n is the character '!' + n, the number of all
// of them '9'.
char bit_code(int bit) { return static_cast<char>('!' + bit); }
constexpr char kNumberCode = '9';

}  // namespace

VcdWriter::VcdWriter(TextOutput& out, const WriterSettings& settings) : out_(out), window_(settings.window) {
  const VcdTimescale unit = settings.timescale.value_or(dump_timescale(settings.clock_mhz));
  units_per_cycle_ = unit.units_per_cycle(settings.clock_mhz);
  whole_units_per_cycle_ =
      unit.places_every_edge(settings.clock_mhz) ? static_cast<std::uint64_t>(std::round(units_per_cycle_)) : 0;
  out_.put("$version cdmsim $end\n$timescale " + unit.text() + " $end\n$scope module board $end\n");
  for (int bit = 0; bit < kBits; ++bit)
    out_.put("$var wire 1 " + std::string(1, bit_code(bit)) + " " + settings.labels.label(bit) + " $end\n");
  out_.put("$var real 64 " + std::string(1, kNumberCode) +
           " outputs $end\n$upscope $end\n$enddefinitions $end\n");
}

void VcdWriter::step(const Step& step) {
  if (step.cycle >= window_.to) return;
  if (step.cycle < window_.from) {
    outputs_ = step.outputs;
    return;
  }
  // The board sets its outputs with the first instruction; a later window
  // opens on the outputs that stand at its start.
  if (!started_ && step.cycle == window_.from) outputs_ = step.outputs;
  if (!started_) start(window_.from);
  const std::uint32_t changed = outputs_ ^ step.outputs;
  if (changed == 0) return;
  outputs_ = step.outputs;
  put_time(step.cycle);
  put_values(changed);
}

void VcdWriter::finish(const RunEnd& end) {
  if (!started_) start(window_.shown(end.cycle).from);
  put_time(window_.clip(end.cycle));
}

void VcdWriter::start(std::uint64_t cycle) {
  started_ = true;
  put_time(cycle);
  out_.put("$dumpvars\n");
  put_values(kOutputMask);
  out_.put("$end\n");
}

void VcdWriter::put_time(std::uint64_t cycle) {
  // Whole units exactly while they fit in 64 bits; beyond, or when the unit
  // does not divide the period, the nearest unit.
  const bool whole = whole_units_per_cycle_ > 0 && cycle <= UINT64_MAX / whole_units_per_cycle_;
  const double time = whole ? static_cast<double>(cycle * whole_units_per_cycle_)
                            : std::round(static_cast<double>(cycle) * units_per_cycle_);
  if (last_time_ && time <= *last_time_) return;  // two cycles within one unit share a time
  last_time_ = time;
  out_.put('#');
  if (whole)
    out_.put_integer(cycle * whole_units_per_cycle_);
  else if (time < 1e18)
    out_.put_integer(static_cast<std::uint64_t>(time));
  else
    out_.put_fixed(time, 0);
  out_.put('\n');
}

void VcdWriter::put_values(std::uint32_t changed) {
  for (int bit = 0; bit < kBits; ++bit) {
    if ((changed >> bit & 1) == 0) continue;
    out_.put((outputs_ >> bit & 1) != 0 ? '1' : '0');
    out_.put(bit_code(bit));
    out_.put('\n');
  }
  out_.put('r');
  out_.put_integer(outputs_);
  out_.put(' ');
  out_.put(kNumberCode);
  out_.put('\n');
}
