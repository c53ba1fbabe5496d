#include "outputs.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "board_files.h"
#include "file_identity.h"
#include "file_names.h"

namespace {

// What the diagram's title, in UTF-8, calls the program.
std::string program_name(const SimOptions& options) {
  if (options.board) return "board " + std::to_string(*options.board);
  return options.file.filename().u8string();
}

bool cannot_write(const std::string& what, const std::string& why, std::ostream& messages) {
  messages << "cdmsim: cannot write " << what << ": " << why << "\n";
  return false;
}

// The reason of the write that has just failed.
std::string last_error() { return std::generic_category().message(errno); }

// Opens the output file at `path`, when the user asked for one; false after
// saying why it cannot be written.
bool open_output(const std::filesystem::path& path, std::unique_ptr<ReplacingFile>& file, std::ostream& messages) {
  if (path.empty()) return true;
  file = std::make_unique<ReplacingFile>(path);
  if (file->open()) return true;
  return cannot_write(shown_path(path), file->error(), messages);
}

}  // namespace

bool Writers::open(std::ostream& messages) {
  if (!open_output(options_.vcd, vcd_file_, messages) || !open_output(options_.svg, svg_file_, messages)) return false;
  const WriterSettings settings = writer_settings(options_, loaded_);
  if (!options_.quiet) timeline_ = std::make_unique<TimelineWriter>(timeline_out_, settings, loaded_.source_lines);
  if (vcd_file_) {
    vcd_out_ = std::make_unique<TextOutput>(vcd_file_->file());
    vcd_ = std::make_unique<VcdWriter>(*vcd_out_, settings);
  }
  if (svg_file_) diagram_ = std::make_unique<DiagramWriter>(settings, program_name(options_));
  return true;
}

void Writers::step(const Step& step) {
  if (timeline_) timeline_->step(step);
  if (vcd_) vcd_->step(step);
  if (diagram_) diagram_->step(step);
}

bool Writers::finish(const RunEnd& end, const std::string& error, std::ostream& messages) {
  if (timeline_) {
    timeline_->finish(end, error);
    if (!timeline_out_.flush()) return cannot_write("standard output", last_error(), messages);
  }
  if (vcd_) {
    vcd_->finish(end);
    if (!vcd_out_->flush()) return cannot_write(shown_path(options_.vcd), last_error(), messages);
  }
  if (diagram_ && !diagram_->write(svg_file_->file(), end))
    return cannot_write(shown_path(options_.svg), last_error(), messages);
  if (vcd_file_ && !vcd_file_->commit()) return cannot_write(shown_path(options_.vcd), vcd_file_->error(), messages);
  if (svg_file_ && !svg_file_->commit()) return cannot_write(shown_path(options_.svg), svg_file_->error(), messages);
  return true;
}

WriterSettings writer_settings(const SimOptions& options, const LoadedProgram& loaded) {
  WriterSettings settings;
  settings.clock_mhz = loaded.program.clock_mhz;
  settings.window = {first_cycle_at(options.from_ns, settings.clock_mhz),
                     first_cycle_at(options.run.until_ns, settings.clock_mhz)};
  settings.labels = loaded.labels;
  settings.timescale = options.timescale;
  return settings;
}

std::string overlapping_output(const SimOptions& options) {
  const std::filesystem::path program = options.board ? board_program_path(*options.board) : options.file;
  const struct {
    const char* option;
    const std::filesystem::path& path;
  } outputs[] = {{"--vcd", options.vcd}, {"--svg", options.svg}};
  for (const auto& output : outputs) {
    if (output.path.empty()) continue;
    if (same_file(output.path, program))
      return std::string(output.option) + " " + shown_path(output.path) + " would write over the program it runs";
    if (is_standard_output(output.path))
      return std::string(output.option) + " " + shown_path(output.path) + " would write over standard output";
  }
  if (!options.vcd.empty() && !options.svg.empty() && same_file(options.vcd, options.svg))
    return "--vcd and --svg name the same file";
  return {};
}

