/* libcadmora: compile, check, simulate and load Cadmora board timing
 * programs from C and from any language that calls C.
 *
 * Every call returns CADMORA_OK or an error code, and nothing else leaves the
 * library: no exception, no exit. When a call fails, cadmora_last_error()
 * says why, in the calling thread. */
#ifndef CADMORA_H
#define CADMORA_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32) && !defined(CADMORA_BUILDING)
#define CADMORA_API __declspec(dllimport)
#elif defined(_WIN32)
#define CADMORA_API
#else
#define CADMORA_API __attribute__((visibility("default")))
#endif

#define CADMORA_VERSION_MAJOR 1
#define CADMORA_VERSION_MINOR 0
#define CADMORA_VERSION_PATCH 0
#define CADMORA_VERSION "1.0.0"

#ifdef __cplusplus
extern "C" {
#endif

/* Results. */
enum {
  CADMORA_OK = 0
};

/* The library's version, "MAJOR.MINOR.PATCH"; CADMORA_VERSION is the
 * header's. */
CADMORA_API const char* cadmora_version(void);

/* Why the calling thread's last failed call failed; "" when none has. The
 * text stays until the thread's next failed call. */
CADMORA_API const char* cadmora_last_error(void);

#ifdef __cplusplus
}
#endif

#endif
