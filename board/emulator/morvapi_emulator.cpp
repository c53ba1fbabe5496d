// The board emulator: the board library's operations, acting on a board whose
// memory and run state live in files of the emulator's state folder.

#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "emulator_config.h"
#include "journal_format.h"
#include "morvapi.h"
#include "state_folder.h"

namespace fs = std::filesystem;

namespace {

struct Instruction {
  unsigned output_pattern;
  int opcode;
  int data;
  double duration_ns;
};

// Everything the library keeps for the process. A real library keeps the
// selected board per process too.
struct Emulator {
  std::mutex mutex;
  bool configured = false;
  EmulatorConfig config;
  fs::path folder;
  std::optional<int> selected_board;
  std::optional<int> open_board;
  bool programming = false;
  double clock_mhz = 0;
  std::vector<Instruction> program;
  std::string last_error;
  std::string version_given;  // texts handed out stay valid until the next call
  std::string error_given;
};

Emulator& emulator() {
  static Emulator instance;
  return instance;
}

// Settings are read again at the start of every connection and selection, so
// a changed emulator.ini takes effect without restarting a program.
void load_configuration(Emulator& e) {
  e.folder = emulator_state_folder();
  e.config = parse_emulator_config(read_file_text(e.folder / "emulator.ini"));
  e.configured = true;
}

void ensure_configured(Emulator& e) {
  if (!e.configured) load_configuration(e);
}

void journal(Emulator& e, const std::string& line) {
  if (e.config.journal) append_line(e.folder / "journal.txt", line);
}

int finish(Emulator& e, const JournalLine& call, int result) {
  if (e.config.journal) journal(e, call.result(result));
  return result;
}

int fail(Emulator& e, const JournalLine& call, int result, std::string error) {
  e.last_error = std::move(error);
  return finish(e, call, result);
}

fs::path board_file(const Emulator& e, int board, const char* extension) {
  return e.folder / ("board" + std::to_string(board) + extension);
}

template <typename Number>
void append_number(std::string& text, Number value) {
  char digits[32];
  text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// "pattern opcode data duration", numbers as the journal writes them.
void format_instruction(const Instruction& i, std::string& line) {
  line.clear();
  append_number(line, i.output_pattern);
  line += ' ';
  append_number(line, i.opcode);
  line += ' ';
  append_number(line, i.data);
  line += ' ';
  append_number(line, i.duration_ns);
  line += '\n';
}

bool write_program_file(const Emulator& e, int board) {
  return write_file_atomically(board_file(e, board, ".program"), [&](std::FILE* file) {
    if (std::fprintf(file, "%s\n", shortest_double_text(e.clock_mhz).c_str()) < 0) return false;
    std::string line;
    for (const Instruction& i : e.program) {
      format_instruction(i, line);
      if (std::fwrite(line.data(), 1, line.size(), file) != line.size()) return false;
    }
    return true;
  });
}

bool write_run_state(const Emulator& e, int board, const char* state) {
  return write_file_atomically(board_file(e, board, ".state"), [&](std::FILE* file) {
    return std::fprintf(file, "%s\n", state) >= 0;
  });
}

// Ends programming and keeps what was written, as board memory keeps it.
int end_programming(Emulator& e) {
  e.programming = false;
  if (write_program_file(e, *e.open_board)) return 0;
  e.last_error = "Could not save the program of board " + std::to_string(*e.open_board) + ".";
  return -1;
}

int run_state_command(const char* operation, const char* state) {
  Emulator& e = emulator();
  std::lock_guard lock(e.mutex);
  ensure_configured(e);
  JournalLine call(operation, e.config.journal);
  if (!e.open_board) return fail(e, call, -1, "The board is not open.");
  if (!write_run_state(e, *e.open_board, state))
    return fail(e, call, -1, "Could not save the state of board " + std::to_string(*e.open_board) + ".");
  return finish(e, call, 0);
}

}  // namespace

extern "C" {

int cdm_select_board(int board_number) {
  Emulator& e = emulator();
  std::lock_guard lock(e.mutex);
  load_configuration(e);
  JournalLine call("cdm_select_board", e.config.journal);
  call.arg(board_number);
  if (!e.config.has_board(board_number))
    return fail(e, call, -1, "There is no board number " + std::to_string(board_number) + ".");
  e.selected_board = board_number;
  return finish(e, call, 0);
}

int cdm_init(void) {
  Emulator& e = emulator();
  std::lock_guard lock(e.mutex);
  load_configuration(e);
  JournalLine call("cdm_init", e.config.journal);
  std::optional<int> board = e.selected_board ? e.selected_board : e.config.initial_board();
  if (!board || !e.config.has_board(*board)) return fail(e, call, 1, "No Cadmora board is present.");
  if (!e.config.can_open(*board))
    return fail(e, call, 2, "Board " + std::to_string(*board) + " could not be opened.");
  e.open_board = board;
  e.programming = false;
  e.last_error.clear();
  return finish(e, call, 0);
}

int cdm_close(void) {
  Emulator& e = emulator();
  std::lock_guard lock(e.mutex);
  ensure_configured(e);
  JournalLine call("cdm_close", e.config.journal);
  if (!e.open_board) return fail(e, call, -1, "The board is not open.");
  int result = e.programming ? end_programming(e) : 0;
  e.open_board.reset();
  return finish(e, call, result);
}

int cdm_start(void) { return run_state_command("cdm_start", "running"); }

int cdm_stop(void) { return run_state_command("cdm_stop", "stopped"); }

const char* cdm_get_version(void) {
  Emulator& e = emulator();
  std::lock_guard lock(e.mutex);
  ensure_configured(e);
  journal(e, "cdm_get_version");
  e.version_given = e.config.version;
  return e.version_given.c_str();
}

int cdm_get_firmware_id(void) {
  Emulator& e = emulator();
  std::lock_guard lock(e.mutex);
  ensure_configured(e);
  return finish(e, JournalLine("cdm_get_firmware_id", e.config.journal), e.config.firmware_id);
}

int cdm_set_debug(int enable) {
  Emulator& e = emulator();
  std::lock_guard lock(e.mutex);
  ensure_configured(e);
  return finish(e, JournalLine("cdm_set_debug", e.config.journal).arg(enable), 0);
}

int cdm_core_clock(double clock_mhz) {
  Emulator& e = emulator();
  std::lock_guard lock(e.mutex);
  ensure_configured(e);
  JournalLine call("cdm_core_clock", e.config.journal);
  call.arg(clock_mhz);
  if (!e.open_board) return fail(e, call, -1, "The board is not open.");
  e.clock_mhz = clock_mhz;
  return finish(e, call, 0);
}

int cdm_start_programming(int mode) {
  Emulator& e = emulator();
  std::lock_guard lock(e.mutex);
  ensure_configured(e);
  JournalLine call("cdm_start_programming", e.config.journal);
  call.arg(mode);
  if (!e.open_board) return fail(e, call, -1, "The board is not open.");
  e.programming = true;
  e.program.clear();
  e.program.shrink_to_fit();
  return finish(e, call, 0);
}

int cdm_inst_cdmonly(unsigned output_pattern, int opcode, int data, double duration_ns) {
  Emulator& e = emulator();
  std::lock_guard lock(e.mutex);
  ensure_configured(e);
  JournalLine call("cdm_inst_cdmonly", e.config.journal);
  call.arg(output_pattern).arg(opcode).arg(data).arg(duration_ns);
  if (!e.programming) return fail(e, call, -1, "Instruction written while programming was not started.");
  const int address = static_cast<int>(e.program.size());
  if (e.config.fail_write_at == address)
    return fail(e, call, -1,
                e.config.error_text.value_or("Write failed at address " + std::to_string(address) + "."));
  if (address >= e.config.memory_size)
    return fail(e, call, -1,
                "Board memory is full: it holds " + std::to_string(e.config.memory_size) + " instructions.");
  e.program.push_back({output_pattern, opcode, data, duration_ns});
  return finish(e, call, address);
}

int cdm_stop_programming(void) {
  Emulator& e = emulator();
  std::lock_guard lock(e.mutex);
  ensure_configured(e);
  JournalLine call("cdm_stop_programming", e.config.journal);
  if (!e.programming) return fail(e, call, -1, "Programming was not started.");
  return finish(e, call, end_programming(e));
}

const char* cdm_get_error(void) {
  Emulator& e = emulator();
  std::lock_guard lock(e.mutex);
  ensure_configured(e);
  journal(e, "cdm_get_error");
  e.error_given = e.last_error;
  return e.error_given.c_str();
}

}  // extern "C"
