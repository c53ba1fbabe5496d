#include "outputs.h"

#include <filesystem>
#include <system_error>

#include "board_files.h"
#include "file_identity.h"

namespace {

// What the diagram's title calls the program.
std::string program_name(const SimOptions& options) {
  if (options.board) return "board " + std::to_string(*options.board);
  return std::filesystem::path(options.file).filename().string();
}

// A link keeps pointing where it did: what it names is written.
std::filesystem::path written_path(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_symlink(path, error)) return path;
  const auto target = std::filesystem::canonical(path, error);
  return error ? std::filesystem::path(path) : target;
}

// Opens the output file at `path`, when the user asked for one; false after
// saying why it cannot be written.
bool open_output(const std::string& path, std::unique_ptr<ReplacingFile>& file, std::ostream& messages) {
  if (path.empty()) return true;
  file = std::make_unique<ReplacingFile>(written_path(path));
  if (file->open()) return true;
  messages << "cdmsim: cannot write " << path << ": " << file->error() << "\n";
  return false;
}

}  // namespace

bool Writers::open(std::ostream& messages) {
  if (!open_output(options_.vcd, vcd_file_, messages) || !open_output(options_.svg, svg_file_, messages)) return false;
  const double clock_mhz = loaded_.program.clock_mhz;
  const CycleWindow window{first_cycle_at(options_.from_ns, clock_mhz),
                           first_cycle_at(options_.run.until_ns, clock_mhz)};
  if (!options_.quiet) timeline_ = std::make_unique<TimelineWriter>(timeline_out_, clock_mhz, loaded_.source_lines);
  if (vcd_file_) {
    vcd_out_ = std::make_unique<TextOutput>(vcd_file_->file());
    vcd_ = std::make_unique<VcdWriter>(*vcd_out_, clock_mhz, window);
  }
  if (svg_file_) diagram_ = std::make_unique<DiagramWriter>(clock_mhz, program_name(options_), window);
  return true;
}

void Writers::step(const Step& step) {
  if (timeline_) timeline_->step(step);
  if (vcd_) vcd_->step(step);
  if (diagram_) diagram_->step(step);
}

bool Writers::finish(const RunEnd& end, const std::string& error) {
  bool written = true;
  if (timeline_) {
    timeline_->finish(end, error);
    written = timeline_out_.flush();
  }
  if (vcd_) {
    vcd_->finish(end);
    written = vcd_out_->flush() && written;
  }
  if (diagram_) written = diagram_->write(svg_file_->file(), end) && written;
  if (!written) return false;
  for (ReplacingFile* file : {vcd_file_.get(), svg_file_.get()})
    if (file && !file->commit()) return false;
  return true;
}

std::string overlapping_output(const SimOptions& options) {
  const std::string program = options.board ? board_program_path(*options.board).string() : options.file;
  const struct {
    const char* option;
    const std::string& path;
  } outputs[] = {{"--vcd", options.vcd}, {"--svg", options.svg}};
  for (const auto& output : outputs) {
    if (output.path.empty()) continue;
    if (same_file(output.path, program))
      return std::string(output.option) + " " + output.path + " would write over the program it runs";
  }
  if (!options.vcd.empty() && !options.svg.empty() && same_file(options.vcd, options.svg))
    return "--vcd and --svg name the same file";
  return {};
}

