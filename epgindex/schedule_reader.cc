#include "epgindex/schedule_reader.h"

#include <string.h>

namespace {

// strtol's white space in the C locale: space, \t, \n, \v, \f and \r.
inline bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Position of the first space at or after `from`, or `length` when there is
// none before the text ends (at `length` or at a NUL).
size_t findSpace(const char* text, size_t length, size_t from) {
  for (size_t i = from; i < length && text[i] != '\0'; ++i) {
    if (text[i] == ' ') return i;
  }
  return length;
}

// Stores the first `limit` bytes of a text (a NUL in them ends it sooner),
// without the line feeds at its end; returns the stored length.
size_t keepText(char* out, size_t limit, const char* text, size_t length) {
  size_t count = length < limit ? length : limit;
  const char* nul = static_cast<const char*>(memchr(text, '\0', count));
  if (nul != nullptr) count = static_cast<size_t>(nul - text);
  memcpy(out, text, count);
  return removeLineFeeds(out, count);
}

void startEvent(ScheduleState* state, const char* text, size_t length) {
  if (!state->channelSeen) return;
  state->shortText[0] = '\0';
  state->shortTextLength = 0;
  state->titleSet = false;
  state->startSet = false;
  state->durationSet = false;
  state->inEvent = true;
  // Single spaces separate the fields: two in a row leave an empty one.
  size_t first = findSpace(text, length, 0);
  if (first == length) return;
  state->startTime = parseNumber(text + first + 1, length - first - 1);
  state->startSet = true;
  size_t second = findSpace(text, length, first + 1);
  if (second == length) return;
  state->durationMinutes = parseNumber(text + second + 1, length - second - 1) / 60;
  state->durationSet = true;
}

void endEvent(ScheduleState* state, IndexWriter* writer) {
  if (state->inEvent && state->titleSet && state->startSet && state->durationSet) {
    writeEventEntry(writer, state->title, state->titleLength, state->shortText,
                    state->shortTextLength, state->startTime,
                    static_cast<int64_t>(state->durationMinutes) * 60, state->descriptionOffset);
  }
  ++state->eventCount;
  state->inEvent = false;
  state->descriptionOffset = -1;
}

void endChannel(ScheduleState* state, IndexWriter* writer) {
  writeChannelEntry(writer, state->channelName, state->channelNameLength, state->eventCount,
                    state->channelEventsOffset);
  state->channelEventsOffset = eventIndexLength(*writer);
  state->titleSet = false;
  state->startSet = false;
  state->durationSet = false;
  state->eventCount = 0;
}

// Every tag but "D", whose lines are the bulk of a file and are handled inline.
void handleTag(ScheduleState* state, IndexWriter* writer, char tag, const char* text,
               size_t length) {
  switch (tag) {
    case 'C':
      extractChannelName(state, text, length);
      state->channelSeen = true;
      break;
    case 'E':
      startEvent(state, text, length);
      break;
    case 'T':
      if (!state->inEvent) break;
      state->titleLength = keepText(state->title, TITLE_MAX, text, length);
      if (state->titleLength > 0) state->titleSet = true;
      break;
    case 'S':
      // A line feed can only be a text's last byte, so cutting before
      // removeLineFeeds gives the same first 100 bytes as cutting after.
      if (state->inEvent) {
        state->shortTextLength = keepText(state->shortText, SHORT_TEXT_KEPT, text, length);
      }
      break;
    case 'X':
      if (!state->inEvent) break;
      state->startTime = parseNumber(text, length);
      state->startSet = true;
      break;
    case 'L':
      if (!state->inEvent) break;
      state->durationMinutes = parseNumber(text, length);
      state->durationSet = true;
      break;
    case 'e':
      endEvent(state, writer);
      break;
    case 'c':
      endChannel(state, writer);
      break;
    default:
      break;
  }
}

// Handles one piece (a line, or a part of a longer one) of at least one byte,
// whose last byte is at file offset end - 1.
inline void handleOne(ScheduleState* state, IndexWriter* writer, const char* piece, size_t length,
                      int64_t end) {
  // A piece is C text: it ends at its first NUL. So a NUL second byte leaves
  // a line of one character, which is accepted; a NUL tag is a tag like any
  // other unlisted one.
  char tag = piece[0];
  size_t textLength = 0;
  if (length >= 2) {
    char second = piece[1];
    if (second != ' ' && second != '\n' && second != '\0') return;
    if (second != '\0') textLength = length - 2;
  }
  if (tag == 'D') {
    if (state->inEvent) state->descriptionOffset = state->lineOffset;
  } else {
    handleTag(state, writer, tag, textLength > 0 ? piece + 2 : piece, textLength);
  }
  state->lineOffset = end;
}

}  // namespace

void startScheduleState(ScheduleState* state) {
  memset(state, 0, sizeof *state);
  state->descriptionOffset = -1;
}

int32_t parseNumber(const char* text, size_t length) {
  const char* p = text;
  const char* end = text + length;
  while (p < end && isSpace(*p)) ++p;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  // Past 2^31 the result is clamped anyway: the value stops growing there,
  // so that endless digits cannot overflow it.
  constexpr uint64_t kBeyond = uint64_t{1} << 31;
  uint64_t value = 0;
  // Nine digits cannot reach 2^31: no clamping needed for them.
  const char* fast = end - p > 9 ? p + 9 : end;
  unsigned digit = 0;
  while (p < fast && (digit = static_cast<unsigned char>(*p) - static_cast<unsigned>('0')) <= 9) {
    value = value * 10 + digit;
    ++p;
  }
  if (p == fast) {
    for (; p < end; ++p) {
      digit = static_cast<unsigned char>(*p) - static_cast<unsigned>('0');
      if (digit > 9) break;
      value = value * 10 + digit;
      if (value > kBeyond) value = kBeyond + 1;
    }
  }
  if (negative) return value >= kBeyond ? INT32_MIN : -static_cast<int32_t>(value);
  return value >= kBeyond ? INT32_MAX : static_cast<int32_t>(value);
}

void extractChannelName(ScheduleState* state, const char* text, size_t length) {
  size_t space = findSpace(text, length, 0);
  if (space == length) return;
  state->channelNameLength =
      keepText(state->channelName, CHANNEL_NAME_MAX, text + space + 1, length - space - 1);
}

size_t removeLineFeeds(char* text, size_t length) {
  while (length > 0 && text[length - 1] == '\n') --length;
  text[length] = '\0';
  return length;
}

void startScheduleReader(ScheduleReader* reader, IndexWriter* writer) {
  startScheduleState(&reader->state);
  reader->writer = writer;
  reader->offset = 0;
  reader->pendingLength = 0;
}

void feedSchedule(ScheduleReader* reader, const char* bytes, size_t length) {
  ScheduleState* state = &reader->state;
  IndexWriter* writer = reader->writer;
  const char* p = bytes;
  const char* end = bytes + length;
  if (reader->pendingLength > 0 && length > 0) {
    // Complete the piece that the previous block left unfinished.
    size_t room = PIECE_MAX - reader->pendingLength;
    size_t window = length < room ? length : room;
    const char* lineEnd = static_cast<const char*>(memchr(p, '\n', window));
    size_t take = lineEnd != nullptr ? static_cast<size_t>(lineEnd + 1 - p) : window;
    memcpy(reader->pending + reader->pendingLength, p, take);
    reader->pendingLength += take;
    p += take;
    if (lineEnd != nullptr || reader->pendingLength == PIECE_MAX) {
      handleOne(state, writer, reader->pending, reader->pendingLength,
                reader->offset + (p - bytes));
      reader->pendingLength = 0;
    }
  }
  while (p < end) {
    size_t left = static_cast<size_t>(end - p);
    size_t window = left < PIECE_MAX ? left : PIECE_MAX;
    const char* lineEnd = static_cast<const char*>(memchr(p, '\n', window));
    const char* pieceEnd;
    if (lineEnd != nullptr) {
      pieceEnd = lineEnd + 1;
    } else if (window == PIECE_MAX) {
      pieceEnd = p + PIECE_MAX;
    } else {
      memcpy(reader->pending, p, left);
      reader->pendingLength = left;
      break;
    }
    handleOne(state, writer, p, static_cast<size_t>(pieceEnd - p),
              reader->offset + (pieceEnd - bytes));
    p = pieceEnd;
  }
  reader->offset += static_cast<int64_t>(length);
}

void finishSchedule(ScheduleReader* reader) {
  if (reader->pendingLength == 0) return;
  handleOne(&reader->state, reader->writer, reader->pending, reader->pendingLength, reader->offset);
  reader->pendingLength = 0;
}

int indexScheduleBytes(ScheduleReader* reader, IndexWriter* writer, const char* bytes,
                       size_t length, size_t blockSize) {
  startScheduleReader(reader, writer);
  if (blockSize == 0) blockSize = length;
  for (size_t done = 0; done < length; done += blockSize) {
    size_t left = length - done;
    feedSchedule(reader, bytes + done, left < blockSize ? left : blockSize);
  }
  finishSchedule(reader);
  return flushIndexes(writer);
}
