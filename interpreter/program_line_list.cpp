#include <cstring>

#include "program_model.h"

// A line's record: a byte of flags, its source line number, then pattern,
// time and units, each as its length and its bytes, then command and data
// the same way unless a flag says the line has the default one, as most
// lines do.

namespace {

constexpr unsigned char kDefaultCommandFlag = 1;
constexpr unsigned char kDefaultDataFlag = 2;

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
  char* out = records_.begin_record(1 + 6 * kMaxVarintSize + text_size);
  const bool default_command = line.command == kDefaultCommand;
  const bool default_data = line.data == kDefaultData;
  *out++ = static_cast<char>((default_command ? kDefaultCommandFlag : 0) | (default_data ? kDefaultDataFlag : 0));
  out = write_varint(out, line.line);
  out = write_text(out, line.pattern);
  out = write_text(out, line.time);
  out = write_text(out, line.units);
  if (!default_command) out = write_text(out, line.command);
  if (!default_data) out = write_text(out, line.data);
  records_.end_record(out);
  ++count_;
}

ProgramLineList::const_iterator::const_iterator(const RecordBlocks& records, std::size_t remaining)
    : records_(records), remaining_(remaining) {
  if (remaining_ > 0) decode();
}

void ProgramLineList::const_iterator::decode() {
  const char* in = records_.next();
  const auto flags = static_cast<unsigned char>(*in++);
  current_.line = static_cast<unsigned>(read_varint(in));
  current_.pattern = read_text(in);
  current_.time = read_text(in);
  current_.units = read_text(in);
  current_.command = flags & kDefaultCommandFlag ? kDefaultCommand : read_text(in);
  current_.data = flags & kDefaultDataFlag ? kDefaultData : read_text(in);
  records_.finish(in);
}
