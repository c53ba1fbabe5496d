// Operations of the Cadmora board control library (MorvAPI).
//
// Both programs link this library at load time by name: libmorvapi.so on
// Linux, morvapi.dll on Windows. The project builds a board emulator with the
// same name and exports; a user with a board puts the maker's library in its
// place.
#pragma once

#if defined(_WIN32)
#if defined(MORVAPI_BUILDING)
#define MORVAPI_EXPORT __declspec(dllexport)
#else
#define MORVAPI_EXPORT __declspec(dllimport)
#endif
#else
#define MORVAPI_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Selects the board that later connections address. 0: selected.
MORVAPI_EXPORT int cdm_select_board(int board_number);
// Opens the selected board. 0: opened; anything else: no board.
MORVAPI_EXPORT int cdm_init(void);
MORVAPI_EXPORT int cdm_close(void);
// Starts or stops the program held in board memory.
MORVAPI_EXPORT int cdm_start(void);
MORVAPI_EXPORT int cdm_stop(void);
// Zero-terminated version text, owned by the library.
MORVAPI_EXPORT const char* cdm_get_version(void);
// Bits 8-15 and 0-7 are the firmware's major and minor numbers.
MORVAPI_EXPORT int cdm_get_firmware_id(void);
MORVAPI_EXPORT int cdm_set_debug(int enable);
// Sets the board clock, in MHz.
MORVAPI_EXPORT int cdm_core_clock(double clock_mhz);
// Opens programming; instructions written afterwards fill consecutive
// addresses from 0.
MORVAPI_EXPORT int cdm_start_programming(int mode);
// Writes one instruction. Returns its address, or a negative value when the
// write failed (cdm_get_error then says why).
MORVAPI_EXPORT int cdm_inst_cdmonly(unsigned output_pattern, int opcode, int data,
                                    double duration_ns);
MORVAPI_EXPORT int cdm_stop_programming(void);
// Zero-terminated text of the last error, owned by the library; empty when
// there was none.
MORVAPI_EXPORT const char* cdm_get_error(void);

#ifdef __cplusplus
}
#endif
