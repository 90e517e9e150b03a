// Schedule index builder on any bytes, through the memory seam into a memory
// IndexWriter: fed whole and in blocks of a size taken from the input, which
// must give the same indexes, and the indexes checked against each other and
// against the schedule.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "epgindex/schedule_reader.h"

namespace {

void check(bool ok, const char* what) {
  if (ok) return;
  fprintf(stderr, "schedule_fuzz: invariant broken: %s\n", what);
  abort();
}

struct Captured {
  std::string files[2];
};

int capture(void* context, IndexFile file, const char* bytes, size_t length) {
  static_cast<Captured*>(context)->files[file].append(bytes, length);
  return 0;
}

// Too large for the stack.
ScheduleReader reader;
IndexWriter writer;

Captured index(const char* bytes, size_t size, size_t blockSize) {
  Captured out;
  startIndexWriter(&writer, capture, &out);
  check(indexScheduleBytes(&reader, &writer, bytes, size, blockSize) == 0,
        "a memory sink never fails");
  return out;
}

// A decimal as "%ld" writes it: "0", or an optional minus and no leading zero.
bool number(const std::string& text, int64_t* value) {
  size_t digits = text.size() > 0 && text[0] == '-' ? 1 : 0;
  if (text.size() == digits || text.size() - digits > 19) return false;
  if (text[digits] == '0' && (text.size() > digits + 1 || digits == 1)) return false;
  uint64_t magnitude = 0;
  for (size_t i = digits; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    magnitude = magnitude * 10 + static_cast<uint64_t>(text[i] - '0');
  }
  if (magnitude > static_cast<uint64_t>(INT64_MAX)) return false;
  *value = digits == 1 ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
  return true;
}

// One index line without its "\n": `count` numbers at its end, separated by
// form feeds, after a text part. Returns false when they do not parse.
bool splitLine(const std::string& line, size_t count, std::string* text, int64_t* numbers) {
  size_t end = line.size();
  for (size_t i = count; i-- > 0;) {
    size_t feed = line.rfind('\f', end == 0 ? std::string::npos : end - 1);
    if (end == 0 || feed == std::string::npos) return false;
    if (!number(line.substr(feed + 1, end - feed - 1), &numbers[i])) return false;
    end = feed;
  }
  *text = line.substr(0, end);
  return true;
}

// The lines of an index, each with its start offset.
std::vector<std::pair<size_t, std::string>> lines(const std::string& file) {
  std::vector<std::pair<size_t, std::string>> result;
  check(file.empty() || file.back() == '\n', "an index ends with a whole line");
  check(file.find('\0') == std::string::npos, "no NUL reaches an index");
  for (size_t start = 0; start < file.size();) {
    size_t end = file.find('\n', start);
    result.emplace_back(start, file.substr(start, end - start));
    start = end + 1;
  }
  return result;
}

size_t formFeeds(const std::string& text) {
  size_t n = 0;
  for (char c : text) n += c == '\f';
  return n;
}

// True when a piece starts at `offset`: at 0, after a line feed, or a whole
// number of pieces into a long line.
bool pieceStart(const uint8_t* data, size_t offset) {
  size_t lineStart = offset;
  while (lineStart > 0 && data[lineStart - 1] != '\n') --lineStart;
  return (offset - lineStart) % PIECE_MAX == 0;
}

void checkIndexes(const Captured& out, const uint8_t* data, size_t size) {
  const bool feedsInInput = memchr(data, '\f', size) != nullptr;
  const std::string& events = out.files[EVENT_INDEX];
  std::vector<size_t> eventStarts;
  for (const auto& line : lines(events)) {
    eventStarts.push_back(line.first);
    std::string texts;
    int64_t n[3];
    check(splitLine(line.second, 3, &texts, n), "an event line ends in three numbers");
    const int64_t start = n[0], seconds = n[1], description = n[2];
    check(start >= INT32_MIN && start <= INT32_MAX, "a start time is 32-bit");
    check(seconds % 60 == 0 && seconds / 60 >= INT32_MIN && seconds / 60 <= INT32_MAX,
          "a duration is whole 32-bit minutes");
    check(description == -1 ||
              (description >= 0 && static_cast<uint64_t>(description) < size &&
               pieceStart(data, static_cast<size_t>(description))),
          "a description offset is -1 or a piece start inside the schedule");
    // Title and short text, each at most 100 bytes, one form feed apart.
    size_t feed = texts.find('\f');
    check(feed != std::string::npos, "an event line has five fields");
    check(feedsInInput || formFeeds(texts) == 1, "five fields unless a text holds a form feed");
    bool splits = false;
    for (; feed != std::string::npos; feed = texts.find('\f', feed + 1)) {
      splits = splits || (feed <= TITLE_WRITTEN && texts.size() - feed - 1 <= SHORT_TEXT_WRITTEN);
    }
    check(splits, "title and short text are at most 100 bytes each");
  }

  int64_t previousOffset = 0;
  int64_t previousCount = -1;
  for (const auto& line : lines(out.files[CHANNEL_INDEX])) {
    std::string name;
    int64_t n[2];
    check(splitLine(line.second, 2, &name, n), "a channel line ends in two numbers");
    const int64_t count = n[0], offset = n[1];
    check(feedsInInput || formFeeds(name) == 0, "three fields unless the name holds a form feed");
    check(name.size() <= CHANNEL_NAME_WRITTEN, "a channel name is at most 30 bytes");
    check(count >= 0, "an event count is not negative");
    check(offset >= previousOffset, "events offsets never decrease");
    check(static_cast<uint64_t>(offset) == events.size() ||
              std::binary_search(eventStarts.begin(), eventStarts.end(),
                                 static_cast<size_t>(offset)),
          "an events offset is a line start of the event index or its end");
    // The previous block's events lie between the two offsets; every one
    // of them had its "e" line counted.
    if (previousCount >= 0) {
      int64_t block = std::count_if(eventStarts.begin(), eventStarts.end(), [&](size_t s) {
        return static_cast<int64_t>(s) >= previousOffset && static_cast<int64_t>(s) < offset;
      });
      check(block <= previousCount, "a block has no more events than its count");
    } else {
      check(offset == 0, "the first events offset is 0");
    }
    previousOffset = offset;
    previousCount = count;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  const Captured whole = index(bytes, size, 0);
  const size_t block = size >= 2 ? 1 + (data[0] | static_cast<size_t>(data[1]) << 8) % size : 1;
  const Captured blocks = index(bytes, size, block);
  check(whole.files[CHANNEL_INDEX] == blocks.files[CHANNEL_INDEX] &&
            whole.files[EVENT_INDEX] == blocks.files[EVENT_INDEX],
        "the block size changes nothing");
  checkIndexes(whole, data, size);
  return 0;
}
