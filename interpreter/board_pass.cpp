#include "board_pass.h"

#include "listing.h"
#include "value_conversion.h"

namespace {

// Converts and writes every line; false at the first bad value or failed
// write, after reporting it.
bool write_instructions(const ProgramModel& model, Board& board, bool debug_listing, std::ostream& report) {
  const LabelIndex labels(model.labels);
  LoopStack loops;
  unsigned index = 0;
  for (const ProgramLine& line : model.lines) {
    InstructionFields fields;
    if (!convert_line(line, index, labels, loops, report, fields)) return false;
    if (debug_listing) write_parse_values_line(index, fields, report);
    if (board.write_instruction(fields) < 0) {
      report << std::endl;
      report << "Failed writing instruction on Line " << line.line << " to board." << std::endl;
      report << board.error() << std::endl;
      return false;
    }
    ++index;
  }
  return true;
}

}  // namespace

bool program_board(const ProgramModel& model, const InterpreterOptions& options, std::ostream& report) {
  bool all_written = false;
  // Programming is closed and the board released on every way out.
  const bool opened = with_open_board(*options.board, [&](Board& board) {
    report << "Using Clock Frequency of " << options.clock_mhz << " MHz." << std::endl << std::endl;
    board.core_clock(options.clock_mhz);
    if (options.listing) report << "Parse Values:" << std::endl;
    board.start_programming(0);
    all_written = write_instructions(model, board, options.listing, report);
    board.stop_programming();
  });
  if (!opened) report << kCadmoraBoardNotFound << std::endl;
  if (!all_written) return false;

  report << std::endl;
  // Every line was written, one instruction each.
  report << model.lines.size() << " instructions interpreted." << std::endl;
  report << "Board " << options.board_number << " programmed successfully." << std::endl;
  return true;
}
