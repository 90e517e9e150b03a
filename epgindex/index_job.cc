#include "epgindex/index_job.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include "epgindex/schedule_reader.h"

namespace {

// Fixed storage for the whole run: memory does not grow with the file.
char readBlock[READ_BLOCK_SIZE];
ScheduleReader reader;
IndexWriter writer;

constexpr size_t kNameMax = PATH_MAX + 8;

struct IndexFiles {
  char names[2][kNameMax];
  int fds[2];
};

JobResult result(JobStatus status, IndexFile index, int error) {
  JobResult r;
  r.status = status;
  r.index = index;
  r.error = error;
  return r;
}

// errno after a failed call, never 0: the message must name a cause.
int failure() { return errno != 0 ? errno : EIO; }

// Delivers all the bytes, through short writes and interruptions.
int writeAll(void* context, IndexFile file, const char* bytes, size_t length) {
  int fd = static_cast<IndexFiles*>(context)->fds[file];
  while (length > 0) {
    ssize_t n = write(fd, bytes, length);
    if (n < 0) {
      if (errno == EINTR) continue;
      return failure();
    }
    if (n == 0) return EIO;  // no progress: give up rather than spin
    bytes += n;
    length -= static_cast<size_t>(n);
  }
  return 0;
}

bool nameIndex(char* out, const char* path, IndexFile file) {
  int length = snprintf(out, kNameMax, "%s%s", path, indexSuffix(file));
  return length >= 0 && static_cast<size_t>(length) < kNameMax;
}

// Opens an index file for writing but leaves what it holds: an old index is
// emptied only once both files are open. *created: this run made it.
int openIndex(IndexFiles* files, const char* path, IndexFile file, bool* created) {
  if (!nameIndex(files->names[file], path, file)) return ENAMETOOLONG;
  struct stat info;
  *created = stat(files->names[file], &info) != 0;
  files->fds[file] = open(files->names[file], O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  return files->fds[file] < 0 ? failure() : 0;
}

// Empties an open index file; a device such as /dev/full has nothing to empty.
int emptyIndex(int fd) {
  struct stat info;
  if (fstat(fd, &info) != 0) return failure();
  return S_ISREG(info.st_mode) && ftruncate(fd, 0) != 0 ? failure() : 0;
}

// Reads the whole schedule into the writer; returns 0 or the read's errno.
int readSchedule(int fd) {
  startScheduleReader(&reader, &writer);
  for (;;) {
    ssize_t n = read(fd, readBlock, sizeof readBlock);
    if (n < 0) {
      if (errno == EINTR) continue;
      return failure();
    }
    if (n == 0) break;
    feedSchedule(&reader, readBlock, static_cast<size_t>(n));
    if (writer.error != 0) return 0;  // the write failure is what counts
  }
  finishSchedule(&reader);
  return 0;
}

}  // namespace

JobResult buildIndexFiles(const char* schedulePath) {
  int fd = open(schedulePath, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return result(JOB_OPEN_FAILED, CHANNEL_INDEX, failure());
  // A directory opens but gives no lines: it is no schedule file.
  struct stat info;
  int error = fstat(fd, &info) != 0 ? failure() : S_ISDIR(info.st_mode) ? EISDIR : 0;
  if (error != 0) {
    close(fd);
    return result(JOB_OPEN_FAILED, CHANNEL_INDEX, error);
  }

  static IndexFiles files;
  bool created[2];
  error = openIndex(&files, schedulePath, CHANNEL_INDEX, &created[CHANNEL_INDEX]);
  if (error != 0) {
    close(fd);
    return result(JOB_CREATE_FAILED, CHANNEL_INDEX, error);
  }
  error = openIndex(&files, schedulePath, EVENT_INDEX, &created[EVENT_INDEX]);
  if (error != 0) {
    close(files.fds[CHANNEL_INDEX]);
    // An old channel index stays as it was; a new one goes again.
    if (created[CHANNEL_INDEX]) unlink(files.names[CHANNEL_INDEX]);
    close(fd);
    return result(JOB_CREATE_FAILED, EVENT_INDEX, error);
  }
  const IndexFile both[] = {CHANNEL_INDEX, EVENT_INDEX};
  for (IndexFile file : both) {
    error = emptyIndex(files.fds[file]);
    if (error != 0) {
      for (IndexFile other : both) {
        close(files.fds[other]);
        if (created[other]) unlink(files.names[other]);
      }
      close(fd);
      return result(JOB_CREATE_FAILED, file, error);
    }
  }

  startIndexWriter(&writer, writeAll, &files);
  int readError = readSchedule(fd);
  close(fd);
  JobResult outcome = result(JOB_DONE, CHANNEL_INDEX, 0);
  if (readError != 0) {
    outcome = result(JOB_READ_FAILED, CHANNEL_INDEX, readError);
  } else if (flushIndexes(&writer) != 0) {
    outcome = result(JOB_WRITE_FAILED, writer.failedFile, writer.error);
  }
  for (IndexFile file : both) {
    // A failed close may be the first sign of lost data.
    if (close(files.fds[file]) != 0 && outcome.status == JOB_DONE) {
      outcome = result(JOB_WRITE_FAILED, file, failure());
    }
  }
  if (outcome.status != JOB_DONE) {
    // A partial index must not pass for a whole one.
    unlink(files.names[CHANNEL_INDEX]);
    unlink(files.names[EVENT_INDEX]);
  }
  return outcome;
}
