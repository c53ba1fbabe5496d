/* The pulse-width scan of scan_width.py in C: compile, check, simulate,
 * measure the pulse, then load, start and stop board 0. */
#include <cadmora.h>
#include <stdio.h>

int main(void) {
  cadmora_board* board;
  if (cadmora_board_open(0, &board) != CADMORA_OK) return fprintf(stderr, "%s\n", cadmora_last_error()), 1;
  for (int width = 100; width < 600; width += 100) {
    char text[128];
    int length = snprintf(text, sizeof text, "PULSE: 0x1, %dns\n0x0, %dns, BRANCH, PULSE\n", width, 1000 - width);
    cadmora_program* program;
    cadmora_diagnostics* warnings;
    cadmora_run* run;
    cadmora_run_settings settings;
    uint64_t lengths[1];
    size_t count = 1;
    cadmora_run_settings_init(&settings);
    settings.until_ns = 5000;
    if (cadmora_compile_text(text, (size_t)length, "scan.cdm", 100.0, &program, NULL) != CADMORA_OK ||
        cadmora_program_check(program, 5, 32768, &warnings) != CADMORA_OK ||
        cadmora_diagnostics_count(warnings, &count) != CADMORA_OK || count != 0 ||
        cadmora_simulate(program, &settings, &run) != CADMORA_OK ||
        cadmora_run_steps(run, 0, 1, NULL, lengths, NULL, NULL, NULL) != CADMORA_OK ||
        lengths[0] * 10 != (uint64_t)width ||
        cadmora_board_load(board, program, NULL) != CADMORA_OK || cadmora_board_start(board) != CADMORA_OK ||
        cadmora_board_stop(board) != CADMORA_OK)
      return fprintf(stderr, "width %d: %s\n", width, cadmora_last_error()), 1;
    printf("%d ns: checked, simulated, loaded, started and stopped\n", width);
    cadmora_run_free(run);
    cadmora_diagnostics_free(warnings);
    cadmora_program_free(program);
  }
  cadmora_board_free(board);
  return 0;
}
