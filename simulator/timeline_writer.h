// The timeline: one tab-separated row per executed instruction, the form
// other tools read from cdmsim's standard output. Each named output has a
// column of its own after the fixed ones, headed by its name, holding 0 or 1.
#pragma once

#include <string_view>
#include <vector>

#include "simulation.h"
#include "text_output.h"
#include "writer_settings.h"

class TimelineWriter : public StepSink {
 public:
  // Writes the header row. `source_lines` gives each address's source line;
  // when empty, the line column shows "-".
  TimelineWriter(TextOutput& out, const WriterSettings& settings, const std::vector<unsigned>& source_lines);

  void step(const Step& step) override;

  // The closing "# end: ..." line; `error` is the error message with its place.
  void finish(const RunEnd& end, std::string_view error);

 private:
  TextOutput& out_;
  double clock_mhz_;
  const std::vector<unsigned>& source_lines_;
  std::vector<int> named_;  // the outputs with a column of their own
};
