// epgindex end to end under injected faults: a schedule file that cannot be
// opened or whose reading fails midway, index files that cannot be created.
#include <ostream>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "testing/conf_builder.h"
#include "testing/dir_listing.h"
#include "testing/fault_injection.h"
#include "testing/run_program.h"
#include "testing/schedule_builder.h"
#include "testing/case_name.h"

namespace {

const std::string kSchedule = smallSchedule();

enum Fault { OPEN, READ };

struct Case {
  const char* name;
  Fault fault;
  const char* suffix;  // of the path that fails: "" for the schedule file
  long readAfter;
  const char* message;  // %s: the schedule file's path
  bool indexesRemoved;  // the index files go; otherwise the directory stays as it was
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

const Case kCases[] = {
    {"ScheduleUnreadable", OPEN, "", 0, "ouverture fichier %s impossible\n", false},
    {"ChannelIndexCannotBeCreated", OPEN, ".idxc", 0, "creation fichier %s.idxc impossible\n",
     false},
    {"EventIndexCannotBeCreated", OPEN, ".idxe", 0, "creation fichier %s.idxe impossible\n",
     false},
    {"ReadErrorAtOnce", READ, "", 0, "epgindex: read error on %s: Input/output error\n", true},
    {"ReadErrorMidLine", READ, "", 15, "epgindex: read error on %s: Input/output error\n", true},
    {"ReadErrorBeforeTheLastByte", READ, "", static_cast<long>(kSchedule.size()) - 1,
     "epgindex: read error on %s: Input/output error\n", true},
};

class EpgindexFaultTest : public ::testing::TestWithParam<Case> {};

// Each case runs with and without old index files beside the schedule.
TEST_P(EpgindexFaultTest, ReportsOnceAndDamagesNothing) {
  const Case& c = GetParam();
  for (bool oldIndexes : {false, true}) {
    TempDir dir;
    const std::string path = dir.file("week.txt");
    writeFile(path, kSchedule);
    if (oldIndexes) {
      writeFile(path + ".idxc", "old channels\n");
      writeFile(path + ".idxe", "old events\n");
    }
    const std::string before = listing(dir.path());
    Faults faults;
    if (c.fault == OPEN) {
      faults.openFails = path + c.suffix;
    } else {
      faults.readFails = path + c.suffix;
      faults.readAfter = c.readAfter;
    }
    RunResult result = runProgram(QUARN_EPGINDEX_BIN, {path}, withFaults(faults));

    std::string message = c.message;
    message.replace(message.find("%s"), 2, path);
    EXPECT_EQ(message, result.err) << oldIndexes;
    EXPECT_EQ("", result.out) << oldIndexes;
    EXPECT_EQ(1, result.status) << oldIndexes;
    if (c.indexesRemoved) {
      // The old indexes were emptied when the run began; a part of new ones
      // must not pass for whole ones.
      EXPECT_EQ("week.txt: " + kSchedule + "\n", listing(dir.path())) << oldIndexes;
    } else {
      EXPECT_EQ(before, listing(dir.path())) << oldIndexes;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Table, EpgindexFaultTest, ::testing::ValuesIn(kCases),
                         CaseName());

}  // namespace
