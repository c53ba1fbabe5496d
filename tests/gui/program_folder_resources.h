// The icon and manifest compiled into a program of the build.
#pragma once

#include <string>

struct ProgramResources {
  bool loaded = false;
  int icon_width = 0;
  int icon_height = 0;
  int icon_bits = 0;
  std::string manifest;
};

// Reads the resources of a program beside the test program, without running it.
ProgramResources program_resources(const char* program);
