#include "timeline_writer.h"

#include <string>

namespace {

void put_outputs(TextOutput& out, std::uint32_t outputs) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  char text[8] = {'0', 'x'};
  for (int digit = 0; digit < 6; ++digit) text[2 + digit] = kHex[(outputs >> (20 - 4 * digit)) & 0xF];
  out.put(std::string_view(text, sizeof text));
}

void put_command(TextOutput& out, std::int32_t opcode) {
  const std::string_view keyword = opcode_keyword(opcode);
  if (!keyword.empty()) return out.put(keyword);
  out.put("OP");
  out.put_integer(opcode);
}

}  // namespace

TimelineWriter::TimelineWriter(TextOutput& out, const WriterSettings& settings,
                               const std::vector<unsigned>& source_lines)
    : out_(out), clock_mhz_(settings.clock_mhz), source_lines_(source_lines) {
  out_.put("cycle\ttime_ns\taddress\tline\toutputs\tcommand\tdata\tcycles");
  for (int bit = 0; bit < kOutputCount; ++bit) {
    if (settings.labels.names[static_cast<std::size_t>(bit)].empty()) continue;
    named_.push_back(bit);
    out_.put('\t');
    out_.put(settings.labels.names[static_cast<std::size_t>(bit)]);
  }
  out_.put('\n');
}

void TimelineWriter::step(const Step& step) {
  out_.put_integer(step.cycle);
  out_.put('\t');
  out_.put_milli(cycle_time_ns(step.cycle, clock_mhz_));
  out_.put('\t');
  out_.put_integer(step.address);
  out_.put('\t');
  if (step.address < source_lines_.size())
    out_.put_integer(source_lines_[step.address]);
  else
    out_.put('-');
  out_.put('\t');
  put_outputs(out_, step.outputs);
  out_.put('\t');
  put_command(out_, step.opcode);
  out_.put('\t');
  out_.put_integer(step.data);
  out_.put('\t');
  out_.put_integer(step.cycles);
  for (int bit : named_) {
    out_.put('\t');
    out_.put((step.outputs >> bit & 1) != 0 ? '1' : '0');
  }
  out_.put('\n');
}

void TimelineWriter::finish(const RunEnd& end, std::string_view error) {
  std::string line = "# end: " + std::string(end_reason_text(end.reason));
  if (end.reason == EndReason::Error) line += ": " + std::string(error);
  out_.put(line + " at cycle " + std::to_string(end.cycle) + "\n");
}
