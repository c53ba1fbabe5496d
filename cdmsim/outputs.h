// What a run writes besides the messages: the timeline on standard output,
// and the dump and the diagram in files that take their targets' places
// only once the run has ended, never over the program or each other.
#pragma once

#include <cstdio>
#include <memory>
#include <ostream>
#include <string>

#include "diagram_writer.h"
#include "load_program.h"
#include "replacing_file.h"
#include "sim_options.h"
#include "simulation.h"
#include "text_output.h"
#include "timeline_writer.h"
#include "vcd_writer.h"
#include "writer_settings.h"

// The option that would write over the program, over the file standard
// output goes to or over another output, as a usage error; empty when every
// output is a file of its own.
std::string overlapping_output(const SimOptions& options);

// What the options and the program tell the writers.
WriterSettings writer_settings(const SimOptions& options, const LoadedProgram& loaded);

// The outputs the user asked for, fed step by step as the board runs.
class Writers : public StepSink {
 public:
  Writers(const SimOptions& options, const LoadedProgram& loaded, std::FILE* timeline_file)
      : options_(options), loaded_(loaded), timeline_out_(timeline_file) {}

  // Opens the output files; false after saying which one cannot be written.
  bool open(std::ostream& messages);
  // Hands the step to every writer opened.
  void step(const Step& step) override;
  // Ends every output and puts the files in place; false after saying
  // which output could not be written in full and why, and then no file is
  // replaced.
  bool finish(const RunEnd& end, const std::string& error, std::ostream& messages);

 private:
  const SimOptions& options_;
  const LoadedProgram& loaded_;
  TextOutput timeline_out_;
  // Written beside their targets and put in place only once every output is
  // complete, so a run that fails leaves each existing file as it was.
  std::unique_ptr<ReplacingFile> vcd_file_;
  std::unique_ptr<ReplacingFile> svg_file_;
  std::unique_ptr<TimelineWriter> timeline_;
  std::unique_ptr<TextOutput> vcd_out_;
  std::unique_ptr<VcdWriter> vcd_;
  std::unique_ptr<DiagramWriter> diagram_;
};
