#include "epgindex/index_files.h"

#include <string.h>

namespace {

constexpr char kFormFeed = '\f';
constexpr size_t kNumberMax = 20;  // "-9223372036854775808"

// The longest lines either file can get; an entry is started only with room for it.
constexpr size_t kChannelEntryMax = CHANNEL_NAME_WRITTEN + 2 * (1 + kNumberMax) + 1;
constexpr size_t kEventEntryMax = TITLE_WRITTEN + 1 + SHORT_TEXT_WRITTEN + 3 * (1 + kNumberMax) + 1;
static_assert(kEventEntryMax < INDEX_BUFFER_SIZE, "an entry must fit the buffer");

void deliver(IndexWriter* writer, IndexFile file) {
  IndexBuffer* buffer = &writer->files[file];
  if (buffer->used > 0 && writer->error == 0) {
    int error = writer->sink(writer->context, file, buffer->bytes, buffer->used);
    if (error != 0) {
      writer->error = error;
      writer->failedFile = file;
    }
  }
  buffer->used = 0;
}

// Room for one entry of at most `needed` bytes; returns where it goes.
char* reserve(IndexWriter* writer, IndexFile file, size_t needed) {
  IndexBuffer* buffer = &writer->files[file];
  if (INDEX_BUFFER_SIZE - buffer->used < needed) deliver(writer, file);
  return buffer->bytes + buffer->used;
}

void commit(IndexWriter* writer, IndexFile file, const char* end) {
  IndexBuffer* buffer = &writer->files[file];
  size_t length = static_cast<size_t>(end - (buffer->bytes + buffer->used));
  buffer->used += length;
  buffer->length += static_cast<int64_t>(length);
}

char* putText(char* out, const char* text, size_t length, size_t limit) {
  if (length > limit) length = limit;
  memcpy(out, text, length);
  return out + length;
}

// printf's "%ld" for 64-bit values on every target.
inline char* putNumber(char* out, int64_t value) {
  static const char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  // Comparisons, not divisions, count the digits: they do not wait on one another.
  static const uint64_t kPowers[] = {
      10ULL,
      100ULL,
      1000ULL,
      10000ULL,
      100000ULL,
      1000000ULL,
      10000000ULL,
      100000000ULL,
      1000000000ULL,
      10000000000ULL,
      100000000000ULL,
      1000000000000ULL,
      10000000000000ULL,
      100000000000000ULL,
      1000000000000000ULL,
      10000000000000000ULL,
      100000000000000000ULL,
      1000000000000000000ULL,
      10000000000000000000ULL,
  };
  if (value < 0) *out++ = '-';
  // Unsigned arithmetic, so that the most negative value has a magnitude too.
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  size_t digits = 1;
  while (digits < kNumberMax && magnitude >= kPowers[digits - 1]) ++digits;
  // From the last digit backwards, four digits to a division.
  char* end = out + digits;
  char* p = end;
  while (magnitude >= 10000) {
    uint64_t rest = magnitude / 10000;
    size_t four = static_cast<size_t>(magnitude - rest * 10000);
    magnitude = rest;
    p -= 4;
    memcpy(p, kPairs + 2 * (four / 100), 2);
    memcpy(p + 2, kPairs + 2 * (four % 100), 2);
  }
  size_t small = static_cast<size_t>(magnitude);
  if (small >= 100) {
    p -= 2;
    memcpy(p, kPairs + 2 * (small % 100), 2);
    small /= 100;
  }
  if (small >= 10) {
    memcpy(p - 2, kPairs + 2 * small, 2);
  } else {
    p[-1] = static_cast<char>('0' + small);
  }
  return end;
}

}  // namespace

const char* indexSuffix(IndexFile file) { return file == CHANNEL_INDEX ? ".idxc" : ".idxe"; }

void startIndexWriter(IndexWriter* writer, IndexSink sink, void* context) {
  // The buffers themselves are left untouched: no page of them is used before it is needed.
  writer->sink = sink;
  writer->context = context;
  writer->error = 0;
  writer->failedFile = CHANNEL_INDEX;
  for (IndexBuffer& buffer : writer->files) {
    buffer.length = 0;
    buffer.used = 0;
  }
}

char* formatInt64(char* out, int64_t value) { return putNumber(out, value); }

void writeChannelEntry(IndexWriter* writer, const char* channelName, size_t nameLength,
                       int64_t eventCount, int64_t eventsOffset) {
  char* out = reserve(writer, CHANNEL_INDEX, kChannelEntryMax);
  out = putText(out, channelName, nameLength, CHANNEL_NAME_WRITTEN);
  *out++ = kFormFeed;
  out = putNumber(out, eventCount);
  *out++ = kFormFeed;
  out = putNumber(out, eventsOffset);
  *out++ = '\n';
  commit(writer, CHANNEL_INDEX, out);
}

void writeEventEntry(IndexWriter* writer, const char* title, size_t titleLength,
                     const char* shortText, size_t shortTextLength, int64_t startTime,
                     int64_t durationSeconds, int64_t descriptionOffset) {
  char* out = reserve(writer, EVENT_INDEX, kEventEntryMax);
  out = putText(out, title, titleLength, TITLE_WRITTEN);
  *out++ = kFormFeed;
  out = putText(out, shortText, shortTextLength, SHORT_TEXT_WRITTEN);
  *out++ = kFormFeed;
  out = putNumber(out, startTime);
  *out++ = kFormFeed;
  out = putNumber(out, durationSeconds);
  *out++ = kFormFeed;
  out = putNumber(out, descriptionOffset);
  *out++ = '\n';
  commit(writer, EVENT_INDEX, out);
}

int64_t eventIndexLength(const IndexWriter& writer) { return writer.files[EVENT_INDEX].length; }

int flushIndexes(IndexWriter* writer) {
  deliver(writer, CHANNEL_INDEX);
  deliver(writer, EVENT_INDEX);
  return writer->error;
}
