#include "board_pass.h"

#include <string>

#include "listing.h"
#include "value_conversion.h"

namespace {

// Reports a board operation that failed: an empty line, `failure` and the
// board's reason. Returns false.
bool board_failed(Board& board, const std::string& failure, std::ostream& report) {
  report << std::endl << failure << std::endl << board.error() << std::endl;
  return false;
}

// Converts and writes every line; false at the first bad value or failed
// write, after reporting it.
bool write_instructions(ProgramModel& model, Board& board, bool debug_listing, std::ostream& report,
                        std::optional<Diagnostic>& bad_value) {
  const LabelIndex labels(model.labels);
  LoopStack loops;
  unsigned index = 0;
  Diagnostic error;
  for (auto at = model.lines.begin(); at != model.lines.end(); ++at) {
    model.lines.release_before(at);
    const ProgramLine& line = *at;
    InstructionFields fields;
    if (!convert_line(line, index, labels, loops, error, fields)) {
      write_report_text(error, report);
      bad_value = std::move(error);
      return false;
    }
    if (debug_listing) write_parse_values_line(index, fields, report);
    if (board.write_instruction(fields) < 0)
      return board_failed(board, "Failed writing instruction on Line " + std::to_string(line.line) + " to board.",
                          report);
    ++index;
  }
  return true;
}

}  // namespace

bool program_board(ProgramModel& model, const InterpreterOptions& options, std::ostream& report,
                   std::optional<Diagnostic>& bad_value) {
  bool programmed = false;
  // Programming is closed and the board released on every way out.
  const bool opened = with_open_board(*options.board, [&](Board& board) {
    report << "Using Clock Frequency of " << options.clock_mhz << " MHz." << std::endl << std::endl;
    board.core_clock(options.clock_mhz);
    if (options.listing) report << "Parse Values:" << std::endl;
    board.start_programming(0);
    board.expect_instructions(model.lines.size());
    programmed = write_instructions(model, board, options.listing, report, bad_value);
    // Board memory keeps the program only once programming ends well.
    const bool kept = board.stop_programming() >= 0;
    if (programmed && !kept) programmed = board_failed(board, "Failed saving the program to board.", report);
  });
  if (!opened) report << kCadmoraBoardNotFound << std::endl;
  if (!programmed) return false;

  report << std::endl;
  // Every line was written, one instruction each.
  report << model.lines.size() << " instructions interpreted." << std::endl;
  report << "Board " << options.board_number << " programmed successfully." << std::endl;
  return true;
}
