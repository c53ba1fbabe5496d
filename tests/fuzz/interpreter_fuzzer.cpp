// Feeds arbitrary bytes through the whole interpreter, against the recording
// board, and checks what must hold for every input: the run ends, its report
// is whole lines, success is reported exactly when it happened, and the board
// is closed again whenever it was opened. Asked for every diagnostic, the
// run gives the same report and outcome, and a record in line order for
// every error.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "interpreter.h"
#include "recording_board.h"

namespace {

bool ends_with(std::string_view text, std::string_view ending) {
  return text.size() >= ending.size() && text.substr(text.size() - ending.size()) == ending;
}

bool starts_with(std::string_view text, std::string_view beginning) {
  return text.substr(0, beginning.size()) == beginning;
}

void require(bool condition) {
  if (!condition) std::abort();
}

struct Run {
  bool succeeded = false;
  std::string report;
  std::string calls;
};

// The input's length picks the listing and a failing write, so every path
// of the board pass is reached.
Run run(std::string_view source, std::vector<Diagnostic>* diagnostics) {
  RecordingBoard board;
  InterpreterOptions options;
  options.listing = source.size() % 2 == 0;
  options.board = &board;
  options.diagnostics = diagnostics;
  if (source.size() % 3 == 0) board.fail_write_at = 1;
  if (source.size() % 11 == 0) board.init_result = 1;
  std::ostringstream report;
  Run result;
  result.succeeded = run_interpreter(ProgramSource::from_text(source), options, report).programmed;
  result.report = report.str();
  result.calls = board.calls;
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view source(reinterpret_cast<const char*>(data), size);
  const Run load = run(source, nullptr);
  const bool succeeded = load.succeeded;
  const std::string& report = load.report;
  const std::string& calls = load.calls;

  require(ends_with(report, "\n"));
  require(succeeded == ends_with(report, "Board 0 programmed successfully.\n"));
  const bool stopped_before_the_board = starts_with(report, "Reading of tokens failed at Line ") ||
                                        starts_with(report, "Expecting ") ||
                                        starts_with(report, "Unknown variable ");
  if (stopped_before_the_board) require(calls.empty());
  if (starts_with(calls, "init\ncore_clock"))
    require(ends_with(calls, "stop_programming\nclose\n"));

  std::vector<Diagnostic> diagnostics;
  const Run all = run(source, &diagnostics);
  require(all.succeeded == succeeded && all.report == report);
  bool any_error = false;
  for (std::size_t i = 0; i < diagnostics.size(); ++i) {
    require(diagnostics[i].line > 0 && (i == 0 || diagnostics[i - 1].line <= diagnostics[i].line));
    any_error = any_error || diagnostics[i].severity == Severity::Error;
  }
  if (stopped_before_the_board) require(any_error);
  if (succeeded) require(!any_error);
  return 0;
}
