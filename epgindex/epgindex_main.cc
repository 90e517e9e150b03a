// epgindex: builds the channel and event indexes of a schedule file.
#include <stdio.h>
#include <string.h>

#include "epgindex/index_job.h"

namespace {

// The one place that speaks to the user; returns the exit status.
int report(const char* program, const char* path, JobResult result) {
  switch (result.status) {
    case JOB_DONE:
      return 0;
    case JOB_USAGE:
      fprintf(stderr, "syntaxe = %s fichier\n", program);
      break;
    case JOB_OPEN_FAILED:
      fprintf(stderr, "ouverture fichier %s impossible\n", path);
      break;
    case JOB_CREATE_FAILED:
      fprintf(stderr, "creation fichier %s%s impossible\n", path, indexSuffix(result.index));
      break;
    case JOB_READ_FAILED:
      fprintf(stderr, "epgindex: read error on %s: %s\n", path, strerror(result.error));
      break;
    case JOB_WRITE_FAILED:
      fprintf(stderr, "epgindex: write error on %s%s: %s\n", path, indexSuffix(result.index),
              strerror(result.error));
      break;
  }
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const char* program = argc > 0 && argv[0] != nullptr ? argv[0] : "epgindex";
  if (argc < 2) return report(program, nullptr, JobResult{JOB_USAGE, CHANNEL_INDEX, 0});
  // Further arguments are ignored.
  return report(program, argv[1], buildIndexFiles(argv[1]));
}
