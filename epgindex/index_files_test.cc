#include "epgindex/index_files.h"

#include <errno.h>
#include <inttypes.h>
#include <stdint.h>
#include <stdio.h>

#include <memory>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "testing/schedule_builder.h"

namespace {

// Records each delivery; fails every delivery from the failAt-th on (0: never).
struct Sink {
  std::string files[2];
  std::vector<size_t> deliveries[2];
  int calls = 0;
  int failAt = 0;
};

int record(void* context, IndexFile file, const char* bytes, size_t length) {
  Sink* sink = static_cast<Sink*>(context);
  if (sink->failAt != 0 && ++sink->calls >= sink->failAt) return ENOSPC;
  sink->files[file].append(bytes, length);
  sink->deliveries[file].push_back(length);
  return 0;
}

struct Fixture {
  IndexWriter writer;
  Sink sink;
};

std::unique_ptr<Fixture> start() {
  std::unique_ptr<Fixture> f(new Fixture);
  startIndexWriter(&f->writer, record, &f->sink);
  return f;
}

std::string format(int64_t value) {
  char out[20];
  return std::string(out, formatInt64(out, value));
}

TEST(FormatInt64, WritesPlainDecimal) {
  EXPECT_EQ("0", format(0));
  EXPECT_EQ("7", format(7));
  EXPECT_EQ("-1", format(-1));
  EXPECT_EQ("1000", format(1000));
  EXPECT_EQ("128849018820", format(128849018820LL));
  EXPECT_EQ("9223372036854775807", format(INT64_MAX));
  EXPECT_EQ("-9223372036854775808", format(INT64_MIN));
}

TEST(FormatInt64, MatchesPrintfAtEveryDigitCountAndBetween) {
  std::vector<int64_t> values = {INT64_MIN, INT64_MIN + 1, INT64_MAX - 1};
  for (int64_t power = 1; power <= INT64_MAX / 10; power *= 10) {
    for (int64_t near : {power - 1, power, power + 1, power * 10 - 1}) {
      values.push_back(near);
      values.push_back(-near);
    }
  }
  uint64_t random = 12345;
  for (int i = 0; i < 10000; ++i) {
    random = random * 6364136223846793005ULL + 1442695040888963407ULL;
    values.push_back(static_cast<int64_t>(random) >> (i % 64));
  }
  for (int64_t value : values) {
    char expected[32];
    snprintf(expected, sizeof expected, "%" PRId64, value);
    ASSERT_EQ(expected, format(value)) << value;
  }
}

TEST(IndexSuffix, NamesBothFiles) {
  EXPECT_STREQ(".idxc", indexSuffix(CHANNEL_INDEX));
  EXPECT_STREQ(".idxe", indexSuffix(EVENT_INDEX));
}

TEST(WriteChannelEntry, CutsTheNameAtThirtyBytes) {
  std::unique_ptr<Fixture> f = start();
  std::string name40(40, 'n');
  writeChannelEntry(&f->writer, name40.c_str(), 40, 2, 0);
  writeChannelEntry(&f->writer, "", 0, 0, 17);
  writeChannelEntry(&f->writer, "Beta", 4, INT64_MAX, -1);
  ASSERT_EQ(0, flushIndexes(&f->writer));
  EXPECT_EQ(std::string(30, 'n') + "\f2\f0\n" + "\f0\f17\n" + "Beta\f9223372036854775807\f-1\n",
            f->sink.files[CHANNEL_INDEX]);
  EXPECT_EQ("", f->sink.files[EVENT_INDEX]);
}

TEST(WriteEventEntry, CutsTextsAtAHundredBytesAndWritesEveryField) {
  std::unique_ptr<Fixture> f = start();
  std::string title120 = std::string(100, 't') + std::string(20, 'u');
  std::string short150 = std::string(100, 's') + std::string(50, 'v');
  writeEventEntry(&f->writer, title120.c_str(), 120, short150.c_str(), 150, INT32_MIN,
                  128849018820LL, 4);
  writeEventEntry(&f->writer, "a\fb", 3, "", 0, 0, 0, -1);  // a form feed passes unchanged
  ASSERT_EQ(0, flushIndexes(&f->writer));
  EXPECT_EQ(eventEntry(std::string(100, 't'), std::string(100, 's'), INT32_MIN, 128849018820LL, 4) +
                "a\fb\f\f0\f0\f-1\n",
            f->sink.files[EVENT_INDEX]);
  EXPECT_EQ("", f->sink.files[CHANNEL_INDEX]);
}

TEST(EventIndexLength, CountsBufferedBytes) {
  std::unique_ptr<Fixture> f = start();
  EXPECT_EQ(0, eventIndexLength(f->writer));
  writeEventEntry(&f->writer, "News", 4, "", 0, 100, 300, 30);
  writeChannelEntry(&f->writer, "Alpha", 5, 2, 0);  // the channel index does not count
  EXPECT_EQ(17, eventIndexLength(f->writer));
  EXPECT_TRUE(f->sink.deliveries[EVENT_INDEX].empty());  // still buffered
}

TEST(IndexWriter, DeliversLargeOutputInFullBuffersOfWholeEntries) {
  std::unique_ptr<Fixture> f = start();
  std::string expected;
  for (int i = 0; i < 5000; ++i) {
    std::string title = "Event " + std::to_string(i);
    writeEventEntry(&f->writer, title.data(), title.size(), "short", 5, i, 60 * i, -1);
    expected += eventEntry(title, "short", i, 60 * i, -1);
  }
  EXPECT_EQ(static_cast<int64_t>(expected.size()), eventIndexLength(f->writer));
  ASSERT_EQ(0, flushIndexes(&f->writer));
  EXPECT_EQ(expected, f->sink.files[EVENT_INDEX]);
  const std::vector<size_t>& sizes = f->sink.deliveries[EVENT_INDEX];
  ASSERT_GE(sizes.size(), 2u);
  for (size_t i = 0; i + 1 < sizes.size(); ++i) {
    EXPECT_LE(sizes[i], size_t{INDEX_BUFFER_SIZE});
    EXPECT_GT(sizes[i], size_t{INDEX_BUFFER_SIZE} - 300);  // no early, small writes
  }
  // Flushing again delivers nothing more.
  ASSERT_EQ(0, flushIndexes(&f->writer));
  EXPECT_EQ(expected, f->sink.files[EVENT_INDEX]);
}

TEST(IndexWriter, KeepsTheFirstFailureAndDeliversNothingAfterIt) {
  std::unique_ptr<Fixture> f = start();
  f->sink.failAt = 1;
  for (int i = 0; i < 3000; ++i) writeEventEntry(&f->writer, "title", 5, "short", 5, i, 60, -1);
  EXPECT_EQ(ENOSPC, f->writer.error);
  EXPECT_EQ(EVENT_INDEX, f->writer.failedFile);
  writeChannelEntry(&f->writer, "A", 1, 3000, 0);
  EXPECT_EQ(ENOSPC, flushIndexes(&f->writer));
  EXPECT_EQ(EVENT_INDEX, f->writer.failedFile);
  EXPECT_EQ(1, f->sink.calls);  // the channel index was not tried
  EXPECT_EQ("", f->sink.files[CHANNEL_INDEX]);
}

}  // namespace
