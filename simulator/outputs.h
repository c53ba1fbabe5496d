// What a run writes: the timeline, the value change dump and the diagram,
// each to a stream or to a file that takes its target's place only once the
// run has ended. cdmsim feeds the writers as the board runs; libcadmora
// replays a run's kept steps into them.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "compiled_program.h"
#include "diagram_writer.h"
#include "replacing_file.h"
#include "simulation.h"
#include "text_output.h"
#include "timeline_writer.h"
#include "vcd_writer.h"
#include "writer_settings.h"

// Where one output goes: a file at `path`, a `stream` named `shown` in
// messages, or nowhere when both are empty.
struct OutputTarget {
  std::filesystem::path path;
  std::FILE* stream = nullptr;
  std::string shown;

  bool wanted() const { return !path.empty() || stream != nullptr; }
};

struct OutputSettings {
  OutputTarget timeline;
  OutputTarget vcd;
  OutputTarget svg;
  WriterSettings writing;  // what every writer is told: see writer_settings()
  std::string name;        // what the diagram's title calls the program, in UTF-8
};

// What the writers are told of `loaded` shown from `from_ns` to `until_ns`
// (the run's horizon), its outputs named as its source names them, the
// dump in `timescale` (none: the coarsest exact unit).
WriterSettings writer_settings(const LoadedProgram& loaded, double from_ns, double until_ns,
                               std::optional<VcdTimescale> timescale);

// The outputs asked for, fed step by step.
class Writers : public StepSink {
 public:
  Writers(OutputSettings settings, const LoadedProgram& loaded)
      : settings_(std::move(settings)), loaded_(loaded) {}

  // Opens the outputs; false with `problem`, "cannot write NAME: why".
  bool open(std::string& problem);
  // Hands the step to every writer opened.
  void step(const Step& step) override;
  // Ends every output and puts the files in place; false with `problem`
  // naming the output that could not be written in full and why, and then
  // no file is replaced.
  bool finish(const RunEnd& end, const std::string& error, std::string& problem);

 private:
  struct Output {
    std::unique_ptr<ReplacingFile> file;  // for a path
    std::unique_ptr<TextOutput> text;
    std::FILE* stream = nullptr;
  };
  // Written beside their targets and put in place only once every output is
  // complete, so a run that fails leaves each existing file as it was.
  bool open_output(const OutputTarget& target, Output& output, std::string& problem);
  bool commit(const OutputTarget& target, Output& output, std::string& problem);

  OutputSettings settings_;
  const LoadedProgram& loaded_;
  Output timeline_out_;
  Output vcd_out_;
  Output svg_out_;
  std::unique_ptr<TimelineWriter> timeline_;
  std::unique_ptr<VcdWriter> vcd_;
  std::unique_ptr<DiagramWriter> diagram_;
};
