// storedir end to end under injected faults: a conf.bin that cannot be
// opened, or whose reading fails midway.
#include <ostream>
#include <string>

#include "gtest/gtest.h"
#include "testing/conf_builder.h"
#include "testing/config_dir.h"
#include "testing/fault_injection.h"
#include "testing/run_program.h"
#include "testing/case_name.h"

namespace {

const std::string kConf = configFile("conf.bin");

struct Case {
  const char* name;
  bool openFails;
  long readAfter;  // -1: reads do not fail
  std::string out;
  std::string err;
  int status;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

const Case kCases[] = {
    {"Unreadable", true, -1, "", kConf + ": not found\n", 1},
    {"ReadErrorAtOnce", false, 0, "", kConf + ": read error\n", 1},
    {"ReadErrorMidway", false, 1000, "", kConf + ": read error\n", 1},
    {"ReadErrorOneByteShort", false, 2163, "", kConf + ": read error\n", 1},
    {"ReadErrorAfterItsLastByte", false, 2164, "/hdd/quarn\n", "", 0},
};

class StoredirFaultTest : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override { resetConfigDir(); }
};

TEST_P(StoredirFaultTest, ReportsAndLeavesTheFileAlone) {
  const Case& c = GetParam();
  const std::string conf = ConfBuilder(LAYOUT_OLDER).storageIndex(4).bytes();
  writeFile(kConf, conf);
  Faults faults;
  if (c.openFails) faults.openFails = kConf;
  if (c.readAfter >= 0) {
    faults.readFails = kConf;
    faults.readAfter = c.readAfter;
  }
  RunResult result = runProgram(QUARN_STOREDIR_BIN, {}, withFaults(faults));
  EXPECT_EQ(c.out, result.out);
  EXPECT_EQ(c.err, result.err);
  EXPECT_EQ(c.status, result.status);
  EXPECT_EQ(conf, readFile(kConf));
}

INSTANTIATE_TEST_SUITE_P(Table, StoredirFaultTest, ::testing::ValuesIn(kCases),
                         CaseName());

}  // namespace
