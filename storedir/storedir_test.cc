// storedir end to end: the built program against conf.bin fixtures.
#include <sys/stat.h>
#include <unistd.h>

#include <ostream>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "testing/conf_builder.h"
#include "testing/config_dir.h"
#include "testing/run_program.h"
#include "testing/case_name.h"

namespace {

const std::string kConf = configFile("conf.bin");

struct Case {
  const char* name;
  bool present;  // false: no conf.bin at all
  std::string conf;
  std::vector<std::string> args;
  std::string out;
  std::string err;
  int status;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

std::string older(int32_t index) { return ConfBuilder(LAYOUT_OLDER).storageIndex(index).bytes(); }
std::string notFound() { return kConf + ": not found\n"; }
std::string size() { return kConf + ": corrupt (size)\n"; }
std::string checksum() { return kConf + ": corrupt (checksum)\n"; }
std::string badIndex() { return kConf + ": corrupt (storage index)\n"; }

std::vector<Case> cases() {
  std::string valid4 = older(4);
  return {
      {"NoFile", false, "", {}, "", notFound(), 1},
      {"EmptyFile", true, "", {}, "", size(), 1},
      {"OneByteShort", true, valid4.substr(0, 2163), {}, "", size(), 1},
      {"Extended", true, valid4 + "trailing bytes", {}, "/hdd/quarn\n", "", 0},
      {"WrongChecksum", true, ConfBuilder(LAYOUT_OLDER).storageIndex(4).checksum(5).bytes(), {},
       "", checksum(), 1},
      {"CurrentLayout", true, ConfBuilder().storageIndex(4).slot(0, "CSAT(FR)", 1).bytes(), {},
       "", checksum(), 1},
      {"AllZero", true, std::string(2164, '\0'), {}, "/var/mnt/usb/quarn\n", "", 0},
      {"FFBytesCountUnsigned", true, ConfBuilder(LAYOUT_OLDER).fill(0xFF).storageIndex(3).bytes(),
       {}, "/mnt/cf/quarn\n", "", 0},
      {"BigEndianIndex", true, ConfBuilder(LAYOUT_OLDER).u32(0, 0x00000005).bytes(), {},
       "/var/tuxbox/config/quarn\n", "", 0},
      {"LittleEndianIndexIsOutOfRange", true, ConfBuilder(LAYOUT_OLDER).u32(0, 0x05000000).bytes(),
       {}, "", badIndex(), 1},
      {"Index0", true, older(0), {}, "/var/mnt/usb/quarn\n", "", 0},
      {"Index1", true, older(1), {}, "/mnt/usb/quarn\n", "", 0},
      {"Index2", true, older(2), {}, "/var/mnt/cf/quarn\n", "", 0},
      {"Index3", true, older(3), {}, "/mnt/cf/quarn\n", "", 0},
      {"Index4", true, older(4), {}, "/hdd/quarn\n", "", 0},
      {"Index5", true, older(5), {}, "/var/tuxbox/config/quarn\n", "", 0},
      {"Index6", true, older(6), {}, "/var/tmp/quarn\n", "", 0},
      {"Index7", true, older(7), {}, "", badIndex(), 1},
      {"IndexMinus1", true, older(-1), {}, "", badIndex(), 1},
      {"IndexMax", true, older(INT32_MAX), {}, "", badIndex(), 1},
      {"IndexMin", true, older(INT32_MIN), {}, "", badIndex(), 1},
      {"ArgumentsIgnored", true, older(4), {"-h", "--help", "x", ""}, "/hdd/quarn\n", "", 0},
      {"ArgumentsIgnoredOnFailure", true, "", {"4"}, "", size(), 1},
  };
}

class StoredirTest : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override { resetConfigDir(); }
};

TEST_P(StoredirTest, OutputErrorsAndStatus) {
  const Case& c = GetParam();
  if (c.present) writeFile(kConf, c.conf);
  RunResult result = runProgram(QUARN_STOREDIR_BIN, c.args);
  EXPECT_EQ(c.out, result.out);
  EXPECT_EQ(c.err, result.err);
  EXPECT_EQ(c.status, result.status);
}

INSTANTIATE_TEST_SUITE_P(Table, StoredirTest, ::testing::ValuesIn(cases()),
                         CaseName());

TEST(Storedir, FullStandardOutputIsAFailure) {
  resetConfigDir();
  writeFile(kConf, older(4));
  RunOptions options;
  options.stdoutPath = "/dev/full";
  RunResult result = runProgram(QUARN_STOREDIR_BIN, {}, options);
  EXPECT_EQ("storedir: write error on standard output: No space left on device\n", result.err);
  EXPECT_EQ(1, result.status);
}

TEST(Storedir, DirectoryOrVanishedFileIsNotFound) {
  for (bool directory : {true, false}) {
    resetConfigDir();
    if (directory) {
      ASSERT_EQ(0, mkdir(kConf.c_str(), 0755));
    } else {
      ASSERT_EQ(0, symlink(configFile("gone").c_str(), kConf.c_str()));
    }
    RunResult result = runProgram(QUARN_STOREDIR_BIN, {});
    EXPECT_EQ("", result.out) << directory;
    EXPECT_EQ(notFound(), result.err) << directory;
    EXPECT_EQ(1, result.status) << directory;
  }
}

}  // namespace
