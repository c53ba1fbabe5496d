#include "board_selection.h"

#include <string>

#include "app_state.h"
#include "board_number.h"
#include "morvapi.h"
#include "window_text.h"

bool apply_board_number() {
  const std::string text = window_text_prefix(app.boardBox, kBoxTextLength);
  if (text.empty()) return true;
  const std::optional<int> number = board_number_from_text(text);
  if (!number || cdm_select_board(*number) != 0) {
    set_output_text(kBoardNotFound);
    return false;
  }
  app.boardNumberText = std::to_string(*number);
  // Selected a second time once accepted, as the library has always been
  // driven; a replacement library may count on it.
  cdm_select_board(*number);
  if (cdm_init() != 0) {
    set_output_text(board_unopened_report(*number));
    return true;
  }
  set_output_text(board_changed_report(*number, cdm_get_firmware_id()));
  cdm_close();
  return true;
}
