// The schedule file as epgindex reads it: tagged lines in pieces of at most
// 20022 bytes, and the state that decides which index entries they give.
// Bytes come from memory in blocks of any size; entries go to an IndexWriter.
#ifndef QUARN_EPGINDEX_SCHEDULE_READER_H
#define QUARN_EPGINDEX_SCHEDULE_READER_H

#include <stddef.h>
#include <stdint.h>

#include "epgindex/index_files.h"

enum : size_t {
  PIECE_MAX = 20022,  // a longer line is handled as several lines of this many bytes
  CHANNEL_NAME_MAX = 30,
  TITLE_MAX = 100,
  // Only the first 100 bytes of a short text are ever written, so no more are kept.
  SHORT_TEXT_KEPT = SHORT_TEXT_WRITTEN,
};

// Texts are NUL-terminated and hold no other NUL; numbers and offsets that
// reach the index files are 64-bit.
struct ScheduleState {
  char channelName[CHANNEL_NAME_MAX + 1];
  size_t channelNameLength;
  bool channelSeen;
  bool inEvent;
  char title[TITLE_MAX + 1];
  size_t titleLength;
  bool titleSet;
  char shortText[SHORT_TEXT_KEPT + 1];
  size_t shortTextLength;
  int32_t startTime;
  bool startSet;
  int32_t durationMinutes;
  bool durationSet;
  int64_t descriptionOffset;
  int64_t eventCount;  // 64-bit: a huge file cannot make it wrap
  int64_t channelEventsOffset;
  int64_t lineOffset;
};

void startScheduleState(ScheduleState* state);

// strtol base 10 over at most `length` bytes (a NUL ends the text sooner),
// clamped to the 32-bit range; 0 when there are no digits.
int32_t parseNumber(const char* text, size_t length);

// The name after the first space of a "C" line's text, at most 30 bytes;
// without a space the name stays as it was.
void extractChannelName(ScheduleState* state, const char* text, size_t length);

// Drops the line feeds at the end of a stored text of `length` bytes and
// ends it with a NUL (text has room for one more byte); returns its length.
size_t removeLineFeeds(char* text, size_t length);

struct ScheduleReader {
  ScheduleState state;
  IndexWriter* writer;
  int64_t offset;        // file offset of the next byte to be fed
  size_t pendingLength;  // bytes of a piece that the previous block left unfinished
  char pending[PIECE_MAX];
};

// Starts a run whose entries go to writer.
void startScheduleReader(ScheduleReader* reader, IndexWriter* writer);

// Takes the next bytes of the schedule file, in blocks of any size.
void feedSchedule(ScheduleReader* reader, const char* bytes, size_t length);

// The end of the file: a last line without a line feed is handled.
void finishSchedule(ScheduleReader* reader);

// A whole schedule held in memory, fed in blocks of blockSize bytes (0: one
// block) from start to finish, then flushed; returns the writer's error.
int indexScheduleBytes(ScheduleReader* reader, IndexWriter* writer, const char* bytes,
                       size_t length, size_t blockSize);

#endif
