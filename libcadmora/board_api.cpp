// The board, through the board seam to the board library: one connection
// per call, as cdmcli makes one per command, all of them under one lock.
#include <mutex>
#include <optional>
#include <sstream>

#include "cadmora.h"
#include "handles.h"
#include "interpreter.h"
#include "library_board.h"

namespace {

std::mutex board_lock;
// The board the library was last told to select; none after a failure.
std::optional<int> selected_board;

cadmora_board& board_of(cadmora_board* board) {
  require(board != nullptr, "the board must not be NULL");
  return *board;
}

// Selects the handle's board when another one is selected; false when the
// library refuses it. Called under the lock.
bool select(const cadmora_board& board) {
  if (selected_board == board.number) return true;
  selected_board.reset();
  if (library_board().select_board(board.number) != 0) return false;
  selected_board = board.number;
  return true;
}

int board_not_found() { return fail(CADMORA_ERROR_BOARD_NOT_FOUND, kCadmoraBoardNotFound); }

// One connection to the handle's board running `command`.
template <typename Command>
int with_board(cadmora_board& board, Command&& command) {
  std::lock_guard<std::mutex> lock(board_lock);
  if (!select(board) || !with_open_board(library_board(), command)) return board_not_found();
  return CADMORA_OK;
}

// A command's result: 0, or the library's reason for refusing it.
int refused_unless_zero(int result, const char* operation) {
  if (result == 0) return CADMORA_OK;
  const std::string why = library_board().error();
  return fail(CADMORA_ERROR_BOARD, std::string("the board library refused ") + operation +
                                       (why.empty() ? std::string() : ": " + why));
}

}  // namespace

extern "C" {

int cadmora_board_open(int number, cadmora_board** board) {
  return guarded([&]() -> int {
    require(board != nullptr, "the board result must not be NULL");
    *board = nullptr;
    require(number >= 0, "the board number must not be negative");
    auto made = std::make_unique<cadmora_board>();
    made->number = number;
    {
      std::lock_guard<std::mutex> lock(board_lock);
      if (!select(*made))
        return fail(CADMORA_ERROR_BOARD_NOT_FOUND, "there is no board " + std::to_string(number) + ": " +
                                                       library_board().error());
    }
    *board = made.release();
    return CADMORA_OK;
  });
}

void cadmora_board_free(cadmora_board* board) { delete board; }

int cadmora_board_load(cadmora_board* board, const cadmora_program* program, const char** report) {
  return guarded([&]() -> int {
    cadmora_board& b = board_of(board);
    require(program != nullptr && program->data != nullptr, "the program must not be NULL");
    if (report != nullptr) *report = "";
    InterpreterOptions options;
    options.clock_mhz = program->data->loaded.program.clock_mhz;
    options.board_number = b.number;
    options.listing = true;
    options.board = &library_board();
    std::ostringstream text;
    bool programmed = false;
    {
      std::lock_guard<std::mutex> lock(board_lock);
      if (select(b)) programmed = run_interpreter(ProgramSource::from_text(program->data->source), options, text).programmed;
      else text << kCadmoraBoardNotFound << "\n";
    }
    b.report = text.str();
    if (report != nullptr) *report = b.report.c_str();
    if (programmed) return CADMORA_OK;
    return fail(CADMORA_ERROR_LOAD, "board " + std::to_string(b.number) + " was not programmed; the report says why");
  });
}

int cadmora_board_start(cadmora_board* board) {
  return guarded([&]() -> int {
    int result = 0;
    if (const int status = with_board(board_of(board), [&](Board& open) { result = open.start(); }); status != 0)
      return status;
    return refused_unless_zero(result, "the start");
  });
}

int cadmora_board_stop(cadmora_board* board) {
  return guarded([&]() -> int {
    int result = 0;
    if (const int status = with_board(board_of(board), [&](Board& open) { result = open.stop(); }); status != 0)
      return status;
    return refused_unless_zero(result, "the stop");
  });
}

int cadmora_board_firmware_id(cadmora_board* board, int* id) {
  return guarded([&]() -> int {
    require(id != nullptr, "the result must not be NULL");
    return with_board(board_of(board), [&](Board& open) { *id = open.firmware_id(); });
  });
}

int cadmora_board_version(cadmora_board* board, const char** text) {
  return guarded([&]() -> int {
    cadmora_board& b = board_of(board);
    require(text != nullptr, "the result must not be NULL");
    const int status = with_board(b, [&](Board& open) { b.version = open.version(); });
    *text = b.version.c_str();
    return status;
  });
}

}
