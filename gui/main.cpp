// cdmgui: the Cadmora timing-program editor and loader for Windows.
#include <windows.h>

#include "startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int show_command) {
  return run_cdmgui(instance, command_line, show_command);
}
