#include "app_state.h"

AppState app;

void set_output_text(std::string_view text) { SetWindowTextA(app.outputPane, std::string(text).c_str()); }

void enter_install_dir() {
  if (app.installDir[0] != '\0') SetCurrentDirectoryA(app.installDir);
}
