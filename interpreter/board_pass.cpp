#include "board_pass.h"

#include "listing.h"
#include "morvapi.h"
#include "value_conversion.h"

namespace {

// Converts and writes every line; false at the first bad value or failed
// write, after reporting it.
bool write_instructions(const ProgramModel& model, bool debug_listing, std::ostream& report,
                        unsigned& written) {
  const LabelIndex labels(model.labels);
  LoopStack loops;
  unsigned index = 0;
  for (const ProgramLine& line : model.lines) {
    InstructionFields fields;
    if (!convert_line(line, index, labels, loops, report, fields)) return false;
    if (debug_listing) write_parse_values_line(index, fields, report);
    if (cdm_inst_cdmonly(fields.output_value, fields.opcode, fields.data, fields.duration_ns) < 0) {
      const char* error = cdm_get_error();
      report << std::endl;
      report << "Failed writing instruction on Line " << line.line << " to board." << std::endl;
      report << (error != nullptr ? error : "") << std::endl;
      return false;
    }
    ++written;
    ++index;
  }
  return true;
}

}  // namespace

bool program_board(const ProgramModel& model, double clock_mhz, int board_number, bool debug_listing,
                   std::ostream& report) {
  if (cdm_init() != 0) {
    report << "Cadmora board not found." << std::endl;
    return false;
  }
  report << "Using Clock Frequency of " << clock_mhz << " MHz." << std::endl << std::endl;
  cdm_core_clock(clock_mhz);
  if (debug_listing) report << "Parse Values:" << std::endl;
  cdm_start_programming(0);

  unsigned written = 0;
  const bool all_written = write_instructions(model, debug_listing, report, written);
  // Programming is closed and the board released on every way out.
  cdm_stop_programming();
  cdm_close();
  if (!all_written) return false;

  report << std::endl;
  report << written << " instructions interpreted." << std::endl;
  report << "Board " << board_number << " programmed successfully." << std::endl;
  return true;
}
