// The channel index (".idxc") and the event index (".idxe") of a schedule
// file: form-feed separated lines, written through fixed buffers to a sink.
#ifndef QUARN_EPGINDEX_INDEX_FILES_H
#define QUARN_EPGINDEX_INDEX_FILES_H

#include <stddef.h>
#include <stdint.h>

enum IndexFile : uint8_t { CHANNEL_INDEX, EVENT_INDEX };

enum : size_t {
  CHANNEL_NAME_WRITTEN = 30,
  TITLE_WRITTEN = 100,
  SHORT_TEXT_WRITTEN = 100,
  INDEX_BUFFER_SIZE = size_t{64} * 1024,
};

// Suffix appended to the schedule file's whole name: ".idxc" or ".idxe".
const char* indexSuffix(IndexFile file);

// Takes the next bytes of one index file; returns 0, or an errno value when
// they could not be delivered.
typedef int (*IndexSink)(void* context, IndexFile file, const char* bytes, size_t length);

struct IndexBuffer {
  int64_t length;  // bytes written to this file so far, buffered ones included
  size_t used;
  char bytes[INDEX_BUFFER_SIZE];
};

struct IndexWriter {
  IndexSink sink;
  void* context;
  int error;             // first failure of the sink, 0 while there is none
  IndexFile failedFile;  // the file that failed, when error is set
  IndexBuffer files[2];
};

// Sets up an empty writer. After the first sink failure nothing more is
// delivered; the failure stays in error.
void startIndexWriter(IndexWriter* writer, IndexSink sink, void* context);

// Texts are given with their lengths and written byte for byte, cut at the
// field's limit.

// Appends "name\fcount\foffset\n"; the name is cut at 30 bytes.
void writeChannelEntry(IndexWriter* writer, const char* channelName, size_t nameLength,
                       int64_t eventCount, int64_t eventsOffset);

// Appends "title\fshort\fstart\fseconds\foffset\n"; texts are cut at 100 bytes.
void writeEventEntry(IndexWriter* writer, const char* title, size_t titleLength,
                     const char* shortText, size_t shortTextLength, int64_t startTime,
                     int64_t durationSeconds, int64_t descriptionOffset);

// The event index's length, counting what is still buffered.
int64_t eventIndexLength(const IndexWriter& writer);

// Hands every buffered byte to the sink; returns writer->error.
int flushIndexes(IndexWriter* writer);

// Writes the decimal form of value at out (at most 20 bytes); returns the end.
char* formatInt64(char* out, int64_t value);

#endif
