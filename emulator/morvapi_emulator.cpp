// The board emulator: the board library's operations, acting on a board whose
// memory and run state live in files of the emulator's state folder.

#include <algorithm>
#include <cstdio>
#include <exception>
#include <mutex>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>

#include "board_trace.h"
#include "emulator_config.h"
#include "board_file.h"
#include "morvapi.h"
#include "program_save.h"
#include "state_folder.h"

namespace fs = std::filesystem;

namespace {

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
  ProgramSave program;  // the memory being programmed
  std::string last_error;
  // Why instructions cannot be written now that programming was refused.
  std::string programming_refused;
  std::string version_given;  // texts handed out stay valid until the next call
  std::string error_given;
};

Emulator& emulator() {
  static Emulator instance;
  return instance;
}

enum class Settings { Reload, KeepLoaded };

void journal(Emulator& e, const std::string& line) {
  if (e.config.journal) append_line(e.folder / "journal.txt", line);
}

// An argument as the journal shows it; a double in its shortest exact form
// (100, 0.5, 1e+09).
template <typename Number>
std::string journal_text(Number value) {
  if constexpr (std::is_floating_point_v<Number>) return shortest_text(value);
  return std::to_string(value);
}

// One call into the library: holds the emulator for the length of the call,
// with its settings loaded, and journals the call as it returns: the
// operation's name, each argument after a blank and, for an int result,
// " -> " and the result. While the journal is off nothing is formatted.
class Call {
 public:
  Call(const char* operation, Settings settings) : e_(emulator()), lock_(e_.mutex) {
    // Settings are read again at the start of every connection and
    // selection, so a changed emulator.ini takes effect without restarting a
    // program.
    if (settings == Settings::Reload || !e_.configured) {
      e_.folder = emulator_state_folder();
      e_.config = read_emulator_config(e_.folder / "emulator.ini");
      e_.configured = true;
    }
    if (e_.config.journal) line_ = operation;
  }

  Emulator& board() { return e_; }

  template <typename... Arguments>
  void arguments(Arguments... values) {
    if (e_.config.journal) ((line_ += ' ' + journal_text(values)), ...);
  }

  int returns(int result) {
    if (e_.config.journal) journal(e_, line_ + " -> " + std::to_string(result));
    return result;
  }

  int fails(int result, std::string error) {
    e_.last_error = std::move(error);
    return returns(result);
  }

  // A text result stays valid until the next call that hands out the same
  // kind of text.
  const char* returns_text(std::string& handed_out, const std::string& text) {
    journal(e_, line_);
    handed_out = text;
    return handed_out.c_str();
  }

 private:
  Emulator& e_;
  std::lock_guard<std::mutex> lock_;
  std::string line_;
};

const char kNotOpen[] = "The board is not open.";

std::string save_failure(const Emulator& e, const std::string& why) {
  return "Could not save the program of board " + std::to_string(*e.open_board) + ": " + why + ".";
}

// Ends programming and keeps what was written, as board memory keeps it.
int end_programming(Emulator& e) {
  e.programming = false;
  if (e.program.finish(e.clock_mhz)) return 0;
  e.last_error = save_failure(e, e.program.error());
  return -1;
}

// Why programming is not open: the reason it was refused, or `otherwise`.
std::string not_programming(const Emulator& e, const char* otherwise) {
  return e.programming_refused.empty() ? otherwise : e.programming_refused;
}

// Programming that ends without being closed (the board opened again, a
// failure inside the library) keeps the board's memory as it was.
void abandon_programming(Emulator& e) {
  e.programming = false;
  e.program.abandon();
}

int run_state_command(Call& call, const char* state) {
  Emulator& e = call.board();
  if (!e.open_board) return call.fails(-1, kNotOpen);
  const auto write = [&](std::FILE* file) { return std::fprintf(file, "%s\n", state) >= 0; };
  if (!write_file_atomically(board_path(e.folder, *e.open_board, ".state"), write))
    return call.fails(-1, "Could not save the state of board " + std::to_string(*e.open_board) + ".");
  return call.returns(0);
}

// Nothing thrown inside the library may reach its caller, a program that
// cannot know our exceptions. A failed operation gives its failure result and
// cdm_get_error says why; programming in progress ends, as its state is no
// longer known.
void remember_failure(const char* operation, const char* what) noexcept {
  try {
    Emulator& e = emulator();
    std::lock_guard<std::mutex> lock(e.mutex);
    e.last_error = std::string("The board library failed in ") + operation + ": " + what + ".";
    // Instructions that follow a failure while programming, or while it
    // starts, are refused with its reason.
    if (e.programming || std::string_view(operation) == "cdm_start_programming")
      e.programming_refused = e.last_error;
    abandon_programming(e);
  } catch (...) {
  }
}

// Runs one operation as a Call; the call (and with it the emulator's lock)
// has ended by the time a failure is remembered.
template <typename Result, typename Operation>
Result guarded(const char* operation, Result failure, Operation body,
               Settings settings = Settings::KeepLoaded) noexcept {
  try {
    Call call(operation, settings);
    return body(call);
  } catch (const std::bad_alloc&) {
    remember_failure(operation, "out of memory");
  } catch (const std::exception& error) {
    remember_failure(operation, error.what());
  } catch (...) {
    remember_failure(operation, "unknown error");
  }
  return failure;
}

}  // namespace

extern "C" {

int cdm_select_board(int board_number) {
  return guarded("cdm_select_board", -1, [=](Call& call) {
    call.arguments(board_number);
    Emulator& e = call.board();
    if (!e.config.has_board(board_number))
      return call.fails(-1, "There is no board number " + std::to_string(board_number) + ".");
    e.selected_board = board_number;
    return call.returns(0);
  }, Settings::Reload);
}

int cdm_init(void) {
  return guarded("cdm_init", -1, [](Call& call) {
    Emulator& e = call.board();
    std::optional<int> board = e.selected_board ? e.selected_board : e.config.initial_board();
    if (!board || !e.config.has_board(*board)) return call.fails(1, "No Cadmora board is present.");
    if (!e.config.can_open(*board)) return call.fails(2, "Board " + std::to_string(*board) + " could not be opened.");
    e.open_board = board;
    abandon_programming(e);
    e.last_error.clear();
    e.programming_refused.clear();
    return call.returns(0);
  }, Settings::Reload);
}

int cdm_close(void) {
  return guarded("cdm_close", -1, [](Call& call) {
    Emulator& e = call.board();
    if (!e.open_board) return call.fails(-1, kNotOpen);
    int result = e.programming ? end_programming(e) : 0;
    e.open_board.reset();
    return call.returns(result);
  });
}

int cdm_start(void) {
  return guarded("cdm_start", -1, [](Call& call) {
    const int result = run_state_command(call, "running");
    Emulator& e = call.board();
    // The waveform is a side product: a missing program or a failed write
    // leaves the start as it was. A trace setting that could not be used is
    // said where the missing dump would be looked for.
    if (result != 0) return result;
    for (const std::string& problem : e.config.problems) journal(e, "# " + problem);
    const int board = *e.open_board;
    // The dump of an earlier Start would pass for this one's.
    std::error_code ignored;
    if (e.config.trace_unusable) fs::remove(board_path(e.folder, board, ".vcd"), ignored);
    if (!e.config.trace_ns) return result;
    if (write_board_trace(e.folder, board, *e.config.trace_ns) == TraceOutcome::Cut)
      journal(e, "# board" + std::to_string(board) + ".vcd cut at " + std::to_string(kTraceStepLimit) +
                     " instructions");
    return result;
  });
}

int cdm_stop(void) {
  return guarded("cdm_stop", -1, [](Call& call) { return run_state_command(call, "stopped"); });
}

const char* cdm_get_version(void) {
  return guarded("cdm_get_version", "", [](Call& call) {
    return call.returns_text(call.board().version_given, call.board().config.version);
  });
}

int cdm_get_firmware_id(void) {
  return guarded("cdm_get_firmware_id", 0, [](Call& call) { return call.returns(call.board().config.firmware_id); });
}

int cdm_set_debug(int enable) {
  return guarded("cdm_set_debug", -1, [=](Call& call) {
    call.arguments(enable);
    return call.returns(0);
  });
}

int cdm_core_clock(double clock_mhz) {
  return guarded("cdm_core_clock", -1, [=](Call& call) {
    call.arguments(clock_mhz);
    Emulator& e = call.board();
    if (!e.open_board) return call.fails(-1, kNotOpen);
    e.clock_mhz = clock_mhz;
    return call.returns(0);
  });
}

int cdm_start_programming(int mode) {
  return guarded("cdm_start_programming", -1, [=](Call& call) {
    call.arguments(mode);
    Emulator& e = call.board();
    if (!e.open_board) return call.fails(-1, kNotOpen);
    abandon_programming(e);
    // Callers look only at the instruction writes, so a board memory that
    // could not be saved at the end would pass unnoticed: refuse up front.
    const fs::path target = board_path(e.folder, *e.open_board, ".program");
    if (!e.program.begin(target, static_cast<size_t>(std::min(e.config.memory_size, 1 << 24)))) {
      e.programming_refused = save_failure(e, e.program.error());
      return call.fails(-1, e.programming_refused);
    }
    e.programming_refused.clear();
    e.programming = true;
    return call.returns(0);
  });
}

int cdm_inst_cdmonly(unsigned output_pattern, int opcode, int data, double duration_ns) {
  return guarded("cdm_inst_cdmonly", -1, [=](Call& call) {
    call.arguments(output_pattern, opcode, data, duration_ns);
    Emulator& e = call.board();
    if (!e.programming) return call.fails(-1, not_programming(e, "Instruction written while programming was not started."));
    const int address = static_cast<int>(e.program.count());
    if (e.config.fail_write_at == address)
      return call.fails(-1, e.config.error_text.value_or("Write failed at address " + std::to_string(address) + "."));
    if (address >= e.config.memory_size)
      return call.fails(-1,
                        "Board memory is full: it holds " + std::to_string(e.config.memory_size) + " instructions.");
    if (!e.program.add({output_pattern, opcode, data, duration_ns}))
      return call.fails(-1, save_failure(e, e.program.error()));
    return call.returns(address);
  });
}

int cdm_stop_programming(void) {
  return guarded("cdm_stop_programming", -1, [](Call& call) {
    if (!call.board().programming) return call.fails(-1, not_programming(call.board(), "Programming was not started."));
    return call.returns(end_programming(call.board()));
  });
}

const char* cdm_get_error(void) {
  return guarded("cdm_get_error", "", [](Call& call) {
    return call.returns_text(call.board().error_given, call.board().last_error);
  });
}

}  // extern "C"
