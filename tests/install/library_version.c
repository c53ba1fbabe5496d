/* A C program built against an installed libcadmora: the library it runs
 * with is the version its header names. Stands in for examples/cadmora_c.c
 * where that is not there. */
#include <stdio.h>
#include <string.h>

#include <cadmora.h>

int main(void) {
  printf("libcadmora %s\n", cadmora_version());
  return strcmp(cadmora_version(), CADMORA_VERSION) == 0 ? 0 : 1;
}
