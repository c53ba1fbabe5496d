#include "vcd_writer.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr int kBits = kOutputCount;

// Identifier codes: out<n> is the character '!' + n, the vector is '9'.
char bit_code(int bit) { return static_cast<char>('!' + bit); }
constexpr char kVectorCode = '9';

}  // namespace

VcdWriter::VcdWriter(TextOutput& out, double clock_mhz, CycleWindow window)
    : out_(out), clock_mhz_(clock_mhz), window_(window) {
  out_.put("$version cdmsim $end\n$timescale 1 ps $end\n$scope module board $end\n");
  for (int bit = 0; bit < kBits; ++bit)
    out_.put("$var wire 1 " + std::string(1, bit_code(bit)) + " out" + std::to_string(bit) + " $end\n");
  out_.put("$var wire 24 " + std::string(1, kVectorCode) +
           " outputs [23:0] $end\n$upscope $end\n$enddefinitions $end\n");
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
  const std::uint64_t last = window_.clip(end.cycle);
  if (!started_) start(std::min(window_.from, last));
  put_time(last);
}

void VcdWriter::start(std::uint64_t cycle) {
  started_ = true;
  put_time(cycle);
  out_.put("$dumpvars\n");
  put_values(0xFFFFFF);
  out_.put("$end\n");
}

void VcdWriter::put_time(std::uint64_t cycle) {
  const double time_ps = std::round(static_cast<double>(cycle) * 1e6 / clock_mhz_);
  if (time_ps <= last_time_ps_) return;  // two cycles closer than 1 ps share a time
  last_time_ps_ = time_ps;
  out_.put('#');
  if (time_ps < 1e18)
    out_.put_integer(static_cast<std::uint64_t>(time_ps));
  else
    out_.put_fixed(time_ps, 0);
  out_.put('\n');
}

void VcdWriter::put_values(std::uint32_t changed) {
  for (int bit = 0; bit < kBits; ++bit) {
    if ((changed >> bit & 1) == 0) continue;
    out_.put((outputs_ >> bit & 1) != 0 ? '1' : '0');
    out_.put(bit_code(bit));
    out_.put('\n');
  }
  out_.put('b');
  for (int bit = kBits - 1; bit >= 0; --bit) out_.put((outputs_ >> bit & 1) != 0 ? '1' : '0');
  out_.put(' ');
  out_.put(kVectorCode);
  out_.put('\n');
}
