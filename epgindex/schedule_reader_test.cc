#include "epgindex/schedule_reader.h"

#include <stdlib.h>

#include <memory>
#include <string>
#include <tuple>

#include "epgindex/index_job.h"
#include "epgindex/schedule_cases.h"
#include "gtest/gtest.h"
#include "testing/case_name.h"

namespace {

// The two index files as they reached the sink.
struct Captured {
  std::string files[2];
};

int capture(void* context, IndexFile file, const char* bytes, size_t length) {
  static_cast<Captured*>(context)->files[file].append(bytes, length);
  return 0;
}

// Reader and writer are too large for the stack.
struct Indexed {
  ScheduleReader reader;
  IndexWriter writer;
  Captured out;
};

std::unique_ptr<Indexed> indexBytes(const std::string& schedule, size_t blockSize) {
  std::unique_ptr<Indexed> run(new Indexed);
  startIndexWriter(&run->writer, capture, &run->out);
  EXPECT_EQ(0, indexScheduleBytes(&run->reader, &run->writer, schedule.data(), schedule.size(),
                                  blockSize));
  return run;
}

// --- parseNumber -----------------------------------------------------------

struct NumberCase {
  const char* name;
  std::string text;
  int32_t value;
};

void PrintTo(const NumberCase& c, std::ostream* os) { *os << c.name; }

class ParseNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ParseNumberTest, ReadsLikeStrtolClampedTo32Bits) {
  const NumberCase& c = GetParam();
  EXPECT_EQ(c.value, parseNumber(c.text.data(), c.text.size()));
  // strtol on the same text as a C string is the model.
  long long model = strtoll(c.text.c_str(), nullptr, 10);
  if (model > INT32_MAX) model = INT32_MAX;
  if (model < INT32_MIN) model = INT32_MIN;
  EXPECT_EQ(model, c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseNumberTest,
    ::testing::Values(NumberCase{"Plain", "330", 330}, NumberCase{"Plus", "+12", 12},
                      NumberCase{"Minus", "-90", -90}, NumberCase{"MinusZero", "-0", 0},
                      NumberCase{"LeadingZeros", "0000042", 42}, NumberCase{"Empty", "", 0},
                      NumberCase{"Letters", "abc", 0}, NumberCase{"DigitsThenLetters", "12ab3", 12},
                      NumberCase{"SignOnly", "-", 0}, NumberCase{"TwoSigns", "+-5", 0},
                      NumberCase{"SpaceAfterSign", "- 5", 0},
                      NumberCase{"CLocaleWhiteSpace", " \t\n\v\f\r7", 7},
                      NumberCase{"LineFeedAfter", "15\n", 15},
                      NumberCase{"Max", "2147483647", INT32_MAX},
                      NumberCase{"Min", "-2147483648", INT32_MIN},
                      NumberCase{"JustOverMax", "2147483648", INT32_MAX},
                      NumberCase{"JustUnderMin", "-2147483649", INT32_MIN},
                      NumberCase{"BeyondLong", "99999999999999999999999", INT32_MAX},
                      NumberCase{"EndlessDigits", std::string(20000, '9'), INT32_MAX},
                      NumberCase{"EndlessNegative", "-" + std::string(20000, '8'), INT32_MIN},
                      NumberCase{"NulEnds", std::string("12") + '\0' + "34", 12},
                      NumberCase{"NulBeforeDigits", std::string(" ") + '\0' + "5", 0}),
    CaseName());

TEST(ParseNumber, StopsAtItsLength) {
  EXPECT_EQ(12, parseNumber("12345", 2));
  EXPECT_EQ(0, parseNumber("   7", 3));
  EXPECT_EQ(0, parseNumber("-7", 1));
}

// --- stored texts ----------------------------------------------------------

TEST(RemoveLineFeeds, DropsTrailingLineFeedsOnly) {
  char text[] = "a\nb \r\n\n";
  EXPECT_EQ(5u, removeLineFeeds(text, 7));
  EXPECT_STREQ("a\nb \r", text);
  char empty[] = "\n";
  EXPECT_EQ(0u, removeLineFeeds(empty, 1));
  EXPECT_STREQ("", empty);
}

TEST(ExtractChannelName, TakesThirtyBytesAfterTheFirstSpace) {
  ScheduleState state;
  startScheduleState(&state);
  EXPECT_STREQ("", state.channelName);
  EXPECT_EQ(0u, state.channelNameLength);
  const std::string text = "1 " + std::string(40, 'n') + "\n";
  extractChannelName(&state, text.data(), text.size());
  EXPECT_EQ(std::string(30, 'n'), state.channelName);
  extractChannelName(&state, "word\n", 5);  // no space: unchanged
  EXPECT_EQ(std::string(30, 'n'), state.channelName);
  extractChannelName(&state, "1 Beta\n", 7);
  EXPECT_STREQ("Beta", state.channelName);
  extractChannelName(&state, "1 Gamma", 4);  // its length ends it
  EXPECT_STREQ("Ga", state.channelName);
}

// --- whole schedules, fed in blocks of every size --------------------------

class ScheduleReaderTest : public ::testing::TestWithParam<std::tuple<ScheduleCase, size_t>> {};

TEST_P(ScheduleReaderTest, WritesTheExpectedIndexes) {
  const ScheduleCase& c = std::get<0>(GetParam());
  std::unique_ptr<Indexed> run = indexBytes(c.schedule, std::get<1>(GetParam()));
  EXPECT_EQ(c.channelIndex, run->out.files[CHANNEL_INDEX]);
  EXPECT_EQ(c.eventIndex, run->out.files[EVENT_INDEX]);
  EXPECT_EQ(static_cast<int64_t>(c.eventIndex.size()), eventIndexLength(run->writer));
}

// 0 feeds the whole schedule as one block.
INSTANTIATE_TEST_SUITE_P(
    Table, ScheduleReaderTest,
    ::testing::Combine(::testing::ValuesIn(scheduleCases()),
                       ::testing::Values(size_t{1}, size_t{2}, size_t{3}, size_t{7}, size_t{64},
                                         size_t{READ_BLOCK_SIZE}, size_t{0})),
    [](const ::testing::TestParamInfo<std::tuple<ScheduleCase, size_t>>& info) {
      size_t block = std::get<1>(info.param);
      return std::get<0>(info.param).name + "_Block" +
             (block == 0 ? std::string("Whole") : std::to_string(block));
    });

TEST(ScheduleReader, EmptyBlocksChangeNothing) {
  std::unique_ptr<Indexed> run(new Indexed);
  startIndexWriter(&run->writer, capture, &run->out);
  startScheduleReader(&run->reader, &run->writer);
  const std::string parts[] = {"C 1 A", "", "\nE 1 2 60\nT t", "", "\ne", "", "\nc"};
  for (const std::string& part : parts) feedSchedule(&run->reader, part.data(), part.size());
  finishSchedule(&run->reader);
  ASSERT_EQ(0, flushIndexes(&run->writer));
  EXPECT_EQ("A\f1\f0\n", run->out.files[CHANNEL_INDEX]);
  EXPECT_EQ("t\f\f2\f60\f-1\n", run->out.files[EVENT_INDEX]);
}

}  // namespace

// Schedules and event indexes past 2 GiB and 4 GiB: offsets must stay 64-bit
// on 32-bit receivers too. The reader and the writer are started as if that
// many bytes had already gone by.
TEST(ScheduleReader, OffsetsPastTwoAndFourGibibytes) {
  const std::string schedule = "C 1 A\nE 1 100 600\nT t\nD d\ne\nc\nE 2 100 60\nT u\ne\nc\n";
  const int64_t descriptionAt = 22;  // of "D d" in the schedule
  const std::string firstEvent = "t\f\f100\f600\f";
  for (int64_t base : {(INT64_C(1) << 31) - 3, (INT64_C(1) << 32) + 7, INT64_C(5) << 32}) {
    std::unique_ptr<Indexed> run(new Indexed);
    startIndexWriter(&run->writer, capture, &run->out);
    startScheduleReader(&run->reader, &run->writer);
    run->reader.offset = base;
    run->reader.state.lineOffset = base;
    run->reader.state.channelEventsOffset = base;
    run->writer.files[EVENT_INDEX].length = base;
    feedSchedule(&run->reader, schedule.data(), schedule.size());
    finishSchedule(&run->reader);
    ASSERT_EQ(0, flushIndexes(&run->writer));

    const std::string first = firstEvent + std::to_string(base + descriptionAt) + "\n";
    EXPECT_EQ(first + "u\f\f100\f60\f-1\n", run->out.files[EVENT_INDEX]) << base;
    EXPECT_EQ("A\f1\f" + std::to_string(base) + "\nA\f1\f" +
                  std::to_string(base + static_cast<int64_t>(first.size())) + "\n",
              run->out.files[CHANNEL_INDEX])
        << base;
  }
}
