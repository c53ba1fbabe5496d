#include <cstring>

#include "interpreter.h"

// A line's record: its source line number, then pattern, time, units,
// command and data, each as its length and its bytes.

namespace {

char* write_text(char* out, std::string_view text) {
  out = write_varint(out, text.size());
  if (!text.empty()) std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

std::string_view read_text(const char*& in) {
  const auto size = static_cast<std::size_t>(read_varint(in));
  const std::string_view text(in, size);
  in += size;
  return text;
}

}  // namespace

void ProgramLineList::push_back(const ProgramLine& line) {
  const std::size_t text_size =
      line.pattern.size() + line.time.size() + line.units.size() + line.command.size() + line.data.size();
  char* out = records_.begin_record(6 * kMaxVarintSize + text_size);
  out = write_varint(out, line.line);
  for (std::string_view text : {line.pattern, line.time, line.units, line.command, line.data})
    out = write_text(out, text);
  records_.end_record(out);
  ++count_;
}

ProgramLineList::const_iterator::const_iterator(const RecordBlocks& records, std::size_t remaining)
    : records_(records), remaining_(remaining) {
  if (remaining_ > 0) decode();
}

void ProgramLineList::const_iterator::advance() {
  if (--remaining_ > 0) decode();
}

void ProgramLineList::const_iterator::decode() {
  const char* in = records_.next();
  current_.line = static_cast<unsigned>(read_varint(in));
  current_.pattern = read_text(in);
  current_.time = read_text(in);
  current_.units = read_text(in);
  current_.command = read_text(in);
  current_.data = read_text(in);
  records_.finish(in);
}
