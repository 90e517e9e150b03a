// Writes a realistic schedule file of at least a given size for the
// benchmark: channels with a week of events each, titles, short texts,
// descriptions of a few hundred to a few thousand bytes, some "X" and "L"
// lines. The same size and seed always give the same bytes.
//   make_schedule FILE MEGABYTES [SEED]
#include <inttypes.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

uint64_t state;

uint64_t next() {  // splitmix64
  uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

uint64_t below(uint64_t n) { return next() % n; }

const char* const kWords[] = {
    "the",     "news",    "film",    "series",  "episode", "season",  "live",    "report",
    "weather", "sport",   "match",   "final",   "music",   "concert", "history", "science",
    "nature",  "travel",  "kitchen", "garden",  "city",    "country", "family",  "friends",
    "mystery", "drama",   "comedy",  "crime",   "police",  "doctor",  "island",  "mountain",
    "river",   "journey", "secret",  "night",   "morning", "evening", "world",   "Europe",
    "Paris",   "Berlin",  "ocean",   "animals", "great",   "new",     "old",     "last",
    "first",   "return",  "between", "under",   "over",    "against", "with",    "without",
    "éclair",  "château", "Müller",  "naïve",   "über",    "señor",   "café",    "déjà",
};
constexpr size_t kWordCount = sizeof kWords / sizeof kWords[0];

// Words and punctuation without line feeds; texts are slices of it.
constexpr size_t kPoolSize = 1 << 20;
char pool[kPoolSize];

void fillPool() {
  size_t at = 0;
  while (at < kPoolSize) {
    const char* word = kWords[below(kWordCount)];
    size_t length = strlen(word);
    for (size_t i = 0; i < length && at < kPoolSize; ++i) pool[at++] = word[i];
    if (at < kPoolSize) pool[at++] = below(12) == 0 ? ',' : below(15) == 0 ? '.' : ' ';
  }
}

constexpr size_t kOutSize = 1 << 20;
char out[kOutSize + 16384];
size_t used;
uint64_t total;
FILE* file;

void flushOut() {
  if (fwrite(out, 1, used, file) != used) {
    perror("make_schedule");
    exit(1);
  }
  total += used;
  used = 0;
}

void put(const char* bytes, size_t length) {
  memcpy(out + used, bytes, length);
  used += length;
  if (used >= kOutSize) flushOut();
}

void putText(size_t length) { put(pool + below(kPoolSize - length), length); }

void putLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
void putLine(const char* format, ...) {
  char line[256];
  va_list args;
  va_start(args, format);
  int n = vsnprintf(line, sizeof line, format, args);
  va_end(args);
  put(line, static_cast<size_t>(n));
}

void writeEvent(uint64_t id, int64_t start, int64_t seconds) {
  putLine("E %" PRIu64 " %" PRId64 " %" PRId64 "\n", id, start, seconds);
  put("T ", 2);
  putText(8 + below(50));
  put("\n", 1);
  if (below(10) < 7) {
    put("S ", 2);
    putText(20 + below(160));
    put("\n", 1);
  }
  if (below(20) != 0) {
    put("D ", 2);
    putText(200 + below(4800));
    put("\n", 1);
  }
  if (below(20) == 0) putLine("X %" PRId64 "\n", start + 60 * static_cast<int64_t>(below(5)));
  if (below(10) == 0) putLine("L %" PRId64 "\n", seconds / 60 + static_cast<int64_t>(below(3)));
  put("e\n", 2);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: %s FILE MEGABYTES [SEED]\n", argv[0]);
    return 2;
  }
  uint64_t target = strtoull(argv[2], nullptr, 10) * 1000 * 1000;
  state = argc > 3 ? strtoull(argv[3], nullptr, 10) : 1;
  file = fopen(argv[1], "wb");
  if (file == nullptr) {
    perror(argv[1]);
    return 1;
  }
  fillPool();
  static const int64_t kDurations[] = {300, 600, 900, 1500, 1800, 2700, 3600, 5400, 6300, 7200};
  const int64_t weekStart = 1767225600;  // a Monday, 00:00 UTC
  uint64_t eventId = 1;
  for (uint64_t channel = 1; total + used < target; ++channel) {
    putLine("C %" PRIu64 " Channel %" PRIu64 " %s\n", 1000 + channel, channel,
            kWords[below(kWordCount)]);
    for (int64_t start = weekStart; start < weekStart + 7 * 86400;) {
      int64_t seconds = kDurations[below(sizeof kDurations / sizeof kDurations[0])];
      writeEvent(eventId++, start, seconds);
      start += seconds;
    }
    put("c\n", 2);
  }
  flushOut();
  if (fclose(file) != 0) {
    perror(argv[1]);
    return 1;
  }
  return 0;
}
