/* scan_width.py in C: for each pulse width, compile, check, simulate and
 * measure the pulse, then load board 0, start it and stop it. */
#include <cadmora.h>
#include <stdio.h>

#define TRY(call) if ((call) != CADMORA_OK) return fprintf(stderr, "%s\n", cadmora_last_error()), 1

int main(void) {
  cadmora_board* board;
  TRY(cadmora_board_open(0, &board));
  for (int width = 100; width < 600; width += 100) {
    char text[80];
    int length = snprintf(text, sizeof text, "PULSE: 0x1, %dns\n0x0, %dns, BRANCH, PULSE\n", width, 1000 - width);
    cadmora_program* program;
    cadmora_diagnostics* warnings;
    cadmora_run* run;
    cadmora_run_settings settings;
    size_t count;
    uint64_t cycles;
    TRY(cadmora_compile_text(text, (size_t)length, "scan.cdm", 100.0, &program, NULL));
    TRY(cadmora_program_check(program, 5, 32768, &warnings));
    TRY(cadmora_diagnostics_count(warnings, &count));
    TRY(cadmora_run_settings_init(&settings));
    settings.until_ns = 5000;
    TRY(cadmora_simulate(program, &settings, &run));
    TRY(cadmora_run_steps(run, 0, 1, NULL, &cycles, NULL, NULL, NULL));
    if (count != 0 || cycles * 10 != (uint64_t)width) return fprintf(stderr, "width %d is wrong\n", width), 1;
    TRY(cadmora_board_load(board, program, NULL));
    TRY(cadmora_board_start(board));
    TRY(cadmora_board_stop(board));
    printf("%d ns: checked, simulated, loaded, started and stopped\n", width);
    cadmora_run_free(run);
    cadmora_diagnostics_free(warnings);
    cadmora_program_free(program);
  }
  cadmora_board_free(board);
  return 0;
}
