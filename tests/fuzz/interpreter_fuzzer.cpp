// Feeds arbitrary bytes through the whole interpreter, against the recording
// board, and checks what must hold for every input: the run ends, its report
// is whole lines, success is reported exactly when it happened, and the board
// is closed again whenever it was opened.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  RecordingBoard board;
  // The input's length picks the listing and a failing write, so every
  // path of the board pass is reached.
  InterpreterOptions options;
  options.listing = size % 2 == 0;
  options.board = &board;
  if (size % 3 == 0) board.fail_write_at = 1;
  if (size % 11 == 0) board.init_result = 1;

  std::ostringstream report_stream;
  const bool succeeded =
      run_interpreter(ProgramSource::from_text(std::string_view(reinterpret_cast<const char*>(data), size)), options,
                      report_stream)
          .programmed;
  const std::string report = report_stream.str();
  const std::string& calls = board.calls;

  require(ends_with(report, "\n"));
  require(succeeded == ends_with(report, "Board 0 programmed successfully.\n"));
  const bool stopped_before_the_board = starts_with(report, "Reading of tokens failed at Line ") ||
                                        starts_with(report, "Expecting ") ||
                                        starts_with(report, "Unknown variable ");
  if (stopped_before_the_board) require(calls.empty());
  if (starts_with(calls, "init\ncore_clock"))
    require(ends_with(calls, "stop_programming\nclose\n"));
  return 0;
}
