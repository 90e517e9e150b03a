// One run of epgindex on files: the schedule file read in large blocks, its
// two index files written beside it. Reports nothing itself.
#ifndef QUARN_EPGINDEX_INDEX_JOB_H
#define QUARN_EPGINDEX_INDEX_JOB_H

#include <stddef.h>
#include <stdint.h>

#include "epgindex/index_files.h"

enum : size_t { READ_BLOCK_SIZE = size_t{256} * 1024 };

enum JobStatus : uint8_t {
  JOB_DONE,
  JOB_USAGE,          // no schedule file named
  JOB_OPEN_FAILED,    // the schedule file cannot be opened, or is a directory
  JOB_CREATE_FAILED,  // an index file cannot be created
  JOB_READ_FAILED,    // reading the schedule file failed
  JOB_WRITE_FAILED,   // writing, flushing or closing an index file failed
};

struct JobResult {
  JobStatus status;
  IndexFile index;  // the index file concerned, for JOB_CREATE_FAILED and JOB_WRITE_FAILED
  int error;        // errno value of the failure
};

// Builds "<path>.idxc" and "<path>.idxe". After a read or write failure
// neither index file is left; after a creation failure, old index files are
// as they were and none that this run created is left.
JobResult buildIndexFiles(const char* schedulePath);

#endif
