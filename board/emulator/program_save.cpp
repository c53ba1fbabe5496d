#include "program_save.h"

#include <charconv>
#include <system_error>

#include "journal_format.h"
#include "state_folder.h"

namespace {

// The clock line is written last, so room for its longest form is set aside
// from the start: "-2.2250738585072014e-308\n".
constexpr std::uint64_t kClockLineRoom = 32;
// Bytes of a typical line, to set memory aside for a whole board up front.
constexpr std::size_t kTypicalLineBytes = 24;

template <typename Number>
void append_number(std::string& text, Number value) {
  char digits[32];
  text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

}  // namespace

bool ProgramSave::begin(const std::filesystem::path& target, std::size_t expected) {
  abandon();
  remove_stale_temporaries(target);
  file_ = std::make_unique<ReplacingFile>(target);
  std::error_code ignored;
  if (std::filesystem::is_directory(target, ignored)) {
    error_ = display_text(target) + " is a folder";
    return false;
  }
  if (!file_->open()) {
    error_ = "the folder " + display_text(target.parent_path()) + " cannot be written";
    return false;
  }
  if (!file_->reserve(kClockLineRoom)) return fail();
  // Untouched pages cost nothing, and a large program is not copied again
  // and again as it grows.
  lines_.reserve(expected * kTypicalLineBytes);
  return true;
}

bool ProgramSave::add(unsigned output_pattern, int opcode, int data, double duration_ns) {
  const std::size_t before = lines_.size();
  append_number(lines_, output_pattern);
  lines_ += ' ';
  append_number(lines_, opcode);
  lines_ += ' ';
  append_number(lines_, data);
  lines_ += ' ';
  append_number(lines_, duration_ns);
  lines_ += '\n';
  if (!file_->reserve(kClockLineRoom + lines_.size())) {
    lines_.resize(before);
    return fail();
  }
  ++count_;
  return true;
}

bool ProgramSave::finish(double clock_mhz) {
  const std::string clock = shortest_double_text(clock_mhz) + "\n";
  std::FILE* out = file_->file();
  const bool written = std::fwrite(clock.data(), 1, clock.size(), out) == clock.size() &&
                       std::fwrite(lines_.data(), 1, lines_.size(), out) == lines_.size();
  if (!written) {
    error_ = "the file could not be written";
    abandon();
    return false;
  }
  const bool saved = file_->commit() || fail();
  abandon();
  return saved;
}

void ProgramSave::abandon() {
  file_.reset();
  lines_.clear();
  lines_.shrink_to_fit();
  count_ = 0;
}

bool ProgramSave::fail() {
  error_ = file_->error();
  return false;
}
