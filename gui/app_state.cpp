#include "app_state.h"

AppState app;

void set_output_text(std::string_view text) {
  const std::string terminated(text);
  SetWindowTextA(app.outputPane, terminated.c_str());
}
