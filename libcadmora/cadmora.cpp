#include "cadmora.h"

#include <string>

namespace {

thread_local std::string last_error;

}  // namespace

extern "C" {

const char* cadmora_version(void) { return CADMORA_VERSION; }

const char* cadmora_last_error(void) { return last_error.c_str(); }

}
