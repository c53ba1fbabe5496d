#include "outputs.h"

#include <cerrno>
#include <system_error>

#include "file_names.h"

namespace {

bool cannot_write(const std::string& what, const std::string& why, std::string& problem) {
  problem = "cannot write " + what + ": " + why;
  return false;
}

// The reason of the write that has just failed.
std::string last_error() { return std::generic_category().message(errno); }

std::string shown_name(const OutputTarget& target) {
  return target.stream != nullptr ? target.shown : shown_path(target.path);
}

}  // namespace

WriterSettings writer_settings(const LoadedProgram& loaded, double from_ns, double until_ns,
                               std::optional<VcdTimescale> timescale) {
  WriterSettings settings;
  settings.clock_mhz = loaded.program.clock_mhz;
  settings.window = {first_cycle_at(from_ns, settings.clock_mhz), first_cycle_at(until_ns, settings.clock_mhz)};
  settings.labels = loaded.outputs;
  settings.timescale = timescale;
  return settings;
}

bool Writers::open_output(const OutputTarget& target, Output& output, std::string& problem) {
  if (!target.wanted()) return true;
  output.stream = target.stream;
  if (output.stream == nullptr) {
    output.file = std::make_unique<ReplacingFile>(target.path);
    if (!output.file->open()) return cannot_write(shown_path(target.path), output.file->error(), problem);
    output.stream = output.file->file();
  }
  output.text = std::make_unique<TextOutput>(output.stream);
  return true;
}

bool Writers::commit(const OutputTarget& target, Output& output, std::string& problem) {
  if (output.file && !output.file->commit()) return cannot_write(shown_path(target.path), output.file->error(), problem);
  return true;
}

bool Writers::open(std::string& problem) {
  if (!open_output(settings_.timeline, timeline_out_, problem) || !open_output(settings_.vcd, vcd_out_, problem) ||
      !open_output(settings_.svg, svg_out_, problem))
    return false;
  const WriterSettings& writing = settings_.writing;
  if (timeline_out_.text) timeline_ = std::make_unique<TimelineWriter>(*timeline_out_.text, writing, loaded_.source_lines);
  if (vcd_out_.text) vcd_ = std::make_unique<VcdWriter>(*vcd_out_.text, writing);
  if (svg_out_.stream) diagram_ = std::make_unique<DiagramWriter>(writing, settings_.name);
  return true;
}

void Writers::step(const Step& step) {
  if (timeline_) timeline_->step(step);
  if (vcd_) vcd_->step(step);
  if (diagram_) diagram_->step(step);
}

bool Writers::finish(const RunEnd& end, const std::string& error, std::string& problem) {
  if (timeline_) {
    timeline_->finish(end, error);
    if (!timeline_out_.text->flush()) return cannot_write(shown_name(settings_.timeline), last_error(), problem);
  }
  if (vcd_) {
    vcd_->finish(end);
    if (!vcd_out_.text->flush()) return cannot_write(shown_name(settings_.vcd), last_error(), problem);
  }
  if (diagram_ && !diagram_->write(svg_out_.stream, end)) return cannot_write(shown_name(settings_.svg), last_error(), problem);
  return commit(settings_.timeline, timeline_out_, problem) && commit(settings_.vcd, vcd_out_, problem) &&
         commit(settings_.svg, svg_out_, problem);
}
