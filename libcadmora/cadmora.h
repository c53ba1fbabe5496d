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

/* Threads: every call may run on several threads at once, but a handle is
 * used by one thread at a time (or under the caller's own lock); handles of
 * their own may be used on threads of their own. A program may be shared
 * between threads that only read it (every call taking it as const). The
 * board calls all go to the one board library and are serialised by a lock
 * inside: one waits while another runs. */

/* Results. */
enum {
  CADMORA_OK = 0,
  CADMORA_ERROR_ARGUMENT = 1,        /* a null pointer, a number out of range, a NUL inside a text */
  CADMORA_ERROR_COMPILE = 2,         /* the program does not compile: the diagnostics say why */
  CADMORA_ERROR_FILE = 3,            /* a file cannot be read or written */
  CADMORA_ERROR_MEMORY = 4,          /* out of memory */
  CADMORA_ERROR_BOARD_NOT_FOUND = 5, /* the board does not open or cannot be selected */
  CADMORA_ERROR_LOAD = 6,            /* the board was not programmed: the report says why */
  CADMORA_ERROR_INTERNAL = 7,        /* a fault of the library itself */
  CADMORA_ERROR_BOARD = 8            /* the board library refused a command */
};

typedef struct cadmora_program cadmora_program;
typedef struct cadmora_diagnostics cadmora_diagnostics;
typedef struct cadmora_run cadmora_run;
typedef struct cadmora_board cadmora_board;

/* The library's version, "MAJOR.MINOR.PATCH"; CADMORA_VERSION is the
 * header's. */
CADMORA_API const char* cadmora_version(void);

/* Why the calling thread's last failed call failed; "" when none has. The
 * text stays until the thread's next failed call. */
CADMORA_API const char* cadmora_last_error(void);

/* A board time as users write it ("10us", "2.5ms", "1s") in ns. */
CADMORA_API int cadmora_parse_time(const char* text, double* ns);

/* --- Compiling -------------------------------------------------------- */

/* Compiles `length` bytes of program text at a clock of `clock_mhz` MHz.
 * `file_name` (UTF-8, may be NULL) is the name messages show as the file.
 * On CADMORA_OK `*program` is the program; on CADMORA_ERROR_COMPILE it is
 * NULL. Either way `*diagnostics`, when `diagnostics` is not NULL, receives
 * the errors and warnings found (none, when the text compiled cleanly). */
CADMORA_API int cadmora_compile_text(const char* text, size_t length, const char* file_name, double clock_mhz,
                                     cadmora_program** program, cadmora_diagnostics** diagnostics);
/* The same for a file, named in UTF-8. */
CADMORA_API int cadmora_compile_file(const char* path, double clock_mhz, cadmora_program** program,
                                     cadmora_diagnostics** diagnostics);
CADMORA_API void cadmora_program_free(cadmora_program* program);

/* --- Diagnostics: the records cdmsim --diagnostics-format json gives ----- */

typedef struct cadmora_diagnostic {
  const char* severity;   /* "error" or "warning" */
  const char* category;   /* as -W names it: "syntax", "rounding", ... */
  const char* file;       /* as messages show it; "" for none */
  unsigned line;          /* 1-based; 0 for none */
  unsigned first_column;  /* 1-based, both included */
  unsigned last_column;
  const char* message;
  const char* suggestion; /* "" for none */
} cadmora_diagnostic;

CADMORA_API int cadmora_diagnostics_count(const cadmora_diagnostics* diagnostics, size_t* count);
/* The texts stay valid while the diagnostics live. */
CADMORA_API int cadmora_diagnostics_get(const cadmora_diagnostics* diagnostics, size_t index,
                                        cadmora_diagnostic* record);
/* All of them as cdmsim writes them: "FILE:LINE:COLUMN: error: ..." with the
 * quoted line and a caret under the word. */
CADMORA_API int cadmora_diagnostics_text(const cadmora_diagnostics* diagnostics, const char** text);
CADMORA_API void cadmora_diagnostics_free(cadmora_diagnostics* diagnostics);

/* --- A program ---------------------------------------------------------- */

CADMORA_API int cadmora_program_size(const cadmora_program* program, size_t* instructions);
CADMORA_API int cadmora_program_clock(const cadmora_program* program, double* clock_mhz);
/* Copies instructions first .. first+count-1 as the board is written them,
 * with each one's source line, into the arrays given; any array may be NULL. */
CADMORA_API int cadmora_program_instructions(const cadmora_program* program, size_t first, size_t count,
                                             uint32_t* outputs, int32_t* opcodes, int32_t* data,
                                             double* durations_ns, uint32_t* lines);
CADMORA_API int cadmora_program_label_count(const cadmora_program* program, size_t* count);
/* The label's name stays valid while the program lives. */
CADMORA_API int cadmora_program_label(const cadmora_program* program, size_t index, const char** name,
                                      uint32_t* address);
/* Output `output`'s (0-23) name as the program's "/ outputs: 0=laser" lines
 * give it, "" for an output they do not name; valid while it lives. The
 * warnings for lines that name outputs wrongly are among the compile's. */
CADMORA_API int cadmora_program_output_name(const cadmora_program* program, unsigned output, const char** name);
/* The listing exactly as Load lists the program; valid while it lives. */
CADMORA_API int cadmora_program_listing(const cadmora_program* program, const char** text);
/* The timing checks, warnings in address order, as cdmsim --check finds
 * them: instructions shorter than `min_cycles`, a program longer than
 * `memory` instructions, and the rest. */
CADMORA_API int cadmora_program_check(const cadmora_program* program, uint64_t min_cycles, uint64_t memory,
                                      cadmora_diagnostics** diagnostics);

/* --- A run -------------------------------------------------------------- */

/* cdmsim's settings, in ns and counts; cadmora_run_settings_init sets its
 * defaults. */
typedef struct cadmora_run_settings {
  double until_ns;     /* the horizon: nothing starts at or after it (--until) */
  double from_ns;      /* where the dump and the diagram start (--from) */
  double wait_ns;      /* how long each WAIT waits for its trigger (--wait) */
  uint64_t depth;      /* loop and subroutine nesting the board holds (--depth) */
  uint64_t max_steps;  /* instructions executed at most (--max-steps) */
  const char* timescale; /* the dump's unit as "10ns" or "1ps" (--timescale); NULL for the coarsest exact one */
} cadmora_run_settings;

CADMORA_API int cadmora_run_settings_init(cadmora_run_settings* settings);

/* Runs the program. The run keeps what it needs of the program: the program
 * may be freed first. */
CADMORA_API int cadmora_simulate(const cadmora_program* program, const cadmora_run_settings* settings,
                                 cadmora_run** run);
CADMORA_API void cadmora_run_free(cadmora_run* run);

enum {
  CADMORA_END_STOP = 0,       /* a STOP ran */
  CADMORA_END_HORIZON = 1,    /* the next instruction would start at or after until_ns */
  CADMORA_END_STEP_LIMIT = 2, /* max_steps instructions ran */
  CADMORA_END_ERROR = 3       /* a runtime error: see cadmora_run_diagnostics */
};

typedef struct cadmora_run_end {
  int reason;           /* CADMORA_END_... */
  uint64_t cycle;       /* the cycle the run ended at */
  uint64_t steps;       /* instructions executed */
  const char* error;    /* "line 7: what went wrong", "" for none; valid while the run lives */
} cadmora_run_end;

CADMORA_API int cadmora_run_end_of(const cadmora_run* run, cadmora_run_end* end);
/* Copies steps first .. first+count-1: start cycle, length in cycles,
 * outputs, address and source line (0 for none); any array may be NULL. */
CADMORA_API int cadmora_run_steps(const cadmora_run* run, size_t first, size_t count, uint64_t* cycles,
                                  uint64_t* lengths, uint32_t* outputs, uint32_t* addresses, uint32_t* lines);
/* The run's own arrays of start cycles, outputs and addresses, `*count`
 * long, valid while the run lives: nothing is copied. */
CADMORA_API int cadmora_run_arrays(const cadmora_run* run, size_t* count, const uint64_t** cycles,
                                   const uint32_t** outputs, const uint32_t** addresses);
/* What cdmsim --vcd reports after the run: a timescale that cannot place
 * every clock edge, the instructions the run did not reach, the runtime
 * error that ended it, and a from_ns at or past its end. */
CADMORA_API int cadmora_run_diagnostics(const cadmora_run* run, cadmora_diagnostics** diagnostics);

enum {
  CADMORA_OUTPUT_TIMELINE = 0, /* cdmsim's standard output */
  CADMORA_OUTPUT_VCD = 1,      /* cdmsim --vcd */
  CADMORA_OUTPUT_SVG = 2       /* cdmsim --svg */
};

/* Writes an output, byte for byte as cdmsim writes it, to the file at
 * `path` (UTF-8), which is replaced only once it is complete. */
CADMORA_API int cadmora_run_write(const cadmora_run* run, int output, const char* path);
/* The same output handed back: `*bytes` (`*length` long, followed by a NUL)
 * is freed by cadmora_bytes_free. */
CADMORA_API int cadmora_run_bytes(const cadmora_run* run, int output, char** bytes, size_t* length);
CADMORA_API void cadmora_bytes_free(char* bytes);

/* --- The board, through the board library (the emulator or the maker's) -- */

/* Selects board `number` and hands back a handle for it. Every later call
 * on the handle is one connection to that board, as cdmcli makes one. */
CADMORA_API int cadmora_board_open(int number, cadmora_board** board);
CADMORA_API void cadmora_board_free(cadmora_board* board);
/* Programs the board as cdmcli Load does, with the program's text and
 * clock: the same library calls and the same report, valid until the next
 * call on the handle. CADMORA_ERROR_LOAD when it was not programmed. */
CADMORA_API int cadmora_board_load(cadmora_board* board, const cadmora_program* program, const char** report);
CADMORA_API int cadmora_board_start(cadmora_board* board);
CADMORA_API int cadmora_board_stop(cadmora_board* board);
/* Bits 8-15 and 0-7: the firmware's major and minor numbers. */
CADMORA_API int cadmora_board_firmware_id(cadmora_board* board, int* id);
/* The board library's version text, valid until the next call on the handle. */
CADMORA_API int cadmora_board_version(cadmora_board* board, const char** text);

#ifdef __cplusplus
}
#endif

#endif
