#include "program_save.h"

#include <system_error>

#include "board_file.h"
#include "file_names.h"
#include "state_folder.h"

namespace {

// The clock line is written last, so room for its longest form is set aside
// from the start: "-2.2250738585072014e-308\n".
constexpr std::uint64_t kClockLineRoom = 32;
// Bytes of a typical line, to set memory aside for a whole board up front.
constexpr std::size_t kTypicalLineBytes = 24;

}  // namespace

bool ProgramSave::begin(const std::filesystem::path& target, std::size_t expected) {
  abandon();
  file_ = std::make_unique<ReplacingFile>(target);
  std::error_code ignored;
  if (std::filesystem::is_directory(target, ignored)) return fail(shown_path(target) + " is a folder");
  if (!file_->open()) return fail("the folder " + shown_path(target.parent_path()) + " cannot be written");
  if (!file_->reserve(kClockLineRoom)) return fail(file_->error());
  // Untouched pages cost nothing, and a large program is not copied again
  // and again as it grows.
  lines_.reserve(expected * kTypicalLineBytes);
  return true;
}

bool ProgramSave::add(const InstructionFields& instruction) {
  const std::size_t before = lines_.size();
  append_board_file_line(lines_, instruction);
  if (!file_->reserve(kClockLineRoom + lines_.size())) {
    lines_.resize(before);
    return fail(file_->error());
  }
  ++count_;
  return true;
}

bool ProgramSave::finish(double clock_mhz) {
  const std::string clock = board_file_clock_line(clock_mhz);
  std::FILE* out = file_->file();
  const bool written = std::fwrite(clock.data(), 1, clock.size(), out) == clock.size() &&
                       std::fwrite(lines_.data(), 1, lines_.size(), out) == lines_.size();
  if (!written) {
    abandon();
    return fail("the file could not be written");
  }
  const bool saved = file_->commit() || fail(file_->error());
  abandon();
  return saved;
}

void ProgramSave::abandon() {
  file_.reset();
  lines_.clear();
  lines_.shrink_to_fit();
  count_ = 0;
}

bool ProgramSave::fail(std::string why) {
  error_ = std::move(why);
  return false;
}
