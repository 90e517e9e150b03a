#include "settings/program_output.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

int finishOutput(const char* program) {
  errno = 0;
  bool failed = fflush(stdout) != 0 || ferror(stdout) != 0;
  int error = errno;
  if (fclose(stdout) != 0 && !failed) {
    failed = true;
    error = errno;
  }
  if (!failed) return 0;
  fprintf(stderr, "%s: write error on standard output: %s\n", program,
          error != 0 ? strerror(error) : "unknown error");
  return 1;
}
