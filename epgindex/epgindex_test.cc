// epgindex end to end: the built program on schedule files in a scratch directory.
#include <sys/stat.h>
#include <unistd.h>

#include <ostream>
#include <string>
#include <vector>

#include "epgindex/schedule_cases.h"
#include "gtest/gtest.h"
#include "testing/conf_builder.h"
#include "testing/dir_listing.h"
#include "testing/run_program.h"
#include "testing/schedule_builder.h"
#include "testing/case_name.h"

namespace {

const std::string kProgram = QUARN_EPGINDEX_BIN;

// --- the schedule cases, on files --------------------------------------------

class EpgindexCaseTest : public ::testing::TestWithParam<ScheduleCase> {};

TEST_P(EpgindexCaseTest, WritesBothIndexFiles) {
  const ScheduleCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.file("week.txt");
  writeFile(path, c.schedule);
  RunResult result = runProgram(kProgram, {path});
  EXPECT_EQ("", result.out);
  EXPECT_EQ("", result.err);
  EXPECT_EQ(0, result.status);
  ASSERT_TRUE(present(path + ".idxc"));
  ASSERT_TRUE(present(path + ".idxe"));
  EXPECT_EQ(c.channelIndex, readFile(path + ".idxc"));
  EXPECT_EQ(c.eventIndex, readFile(path + ".idxe"));
  EXPECT_EQ(c.schedule, readFile(path));
}

INSTANTIATE_TEST_SUITE_P(Table, EpgindexCaseTest, ::testing::ValuesIn(scheduleCases()),
                         CaseName());

// --- failures ------------------------------------------------------------------

const std::string kSchedule = smallSchedule();

struct FailureCase {
  const char* name;
  void (*prepare)(const std::string& dir);  // lays out the scratch directory
  bool named;                               // false: run without an argument
  const char* message;                      // %s: the program, or the schedule file's path
  bool indexesRemoved;  // the index entries go; otherwise the directory stays as it was
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

void scheduleOnly(const std::string& dir) { writeFile(dir + "/week.txt", kSchedule); }

void makeLink(const std::string& target, const std::string& path) {
  ASSERT_EQ(0, symlink(target.c_str(), path.c_str())) << path;
}

const FailureCase kFailures[] = {
    {"NoArgument", scheduleOnly, false, "syntaxe = %s fichier\n", false},
    {"MissingFile", [](const std::string&) {}, true, "ouverture fichier %s impossible\n", false},
    {"MissingFileLeavesOldIndexes",
     [](const std::string& dir) {
       writeFile(dir + "/week.txt.idxc", "old channels\n");
       writeFile(dir + "/week.txt.idxe", "old events\n");
     },
     true, "ouverture fichier %s impossible\n", false},
    {"DirectoryAsInput", [](const std::string& dir) { mkdir((dir + "/week.txt").c_str(), 0755); },
     true, "ouverture fichier %s impossible\n", false},
    {"ChannelIndexIsADirectory",
     [](const std::string& dir) {
       scheduleOnly(dir);
       mkdir((dir + "/week.txt.idxc").c_str(), 0755);
     },
     true, "creation fichier %s.idxc impossible\n", false},
    {"ChannelIndexInAMissingDirectory",
     [](const std::string& dir) {
       scheduleOnly(dir);
       makeLink(dir + "/missing/week.txt.idxc", dir + "/week.txt.idxc");
     },
     true, "creation fichier %s.idxc impossible\n", false},
    {"ScheduleIsADanglingLink",
     [](const std::string& dir) { makeLink(dir + "/gone.txt", dir + "/week.txt"); }, true,
     "ouverture fichier %s impossible\n", false},
    // The channel index, already created, is removed again.
    {"EventIndexIsADirectory",
     [](const std::string& dir) {
       scheduleOnly(dir);
       mkdir((dir + "/week.txt.idxe").c_str(), 0755);
     },
     true, "creation fichier %s.idxe impossible\n", false},
    // Old index files are emptied only once both are open.
    {"EventIndexIsADirectoryKeepsTheOldChannelIndex",
     [](const std::string& dir) {
       scheduleOnly(dir);
       writeFile(dir + "/week.txt.idxc", "old channels\n");
       mkdir((dir + "/week.txt.idxe").c_str(), 0755);
     },
     true, "creation fichier %s.idxe impossible\n", false},
    {"ChannelIndexIsADirectoryKeepsTheOldEventIndex",
     [](const std::string& dir) {
       scheduleOnly(dir);
       mkdir((dir + "/week.txt.idxc").c_str(), 0755);
       writeFile(dir + "/week.txt.idxe", "old events\n");
     },
     true, "creation fichier %s.idxc impossible\n", false},
    {"ChannelIndexOnAFullDevice",
     [](const std::string& dir) {
       scheduleOnly(dir);
       makeLink("/dev/full", dir + "/week.txt.idxc");
     },
     true, "epgindex: write error on %s.idxc: No space left on device\n", true},
    {"EventIndexOnAFullDevice",
     [](const std::string& dir) {
       scheduleOnly(dir);
       makeLink("/dev/full", dir + "/week.txt.idxe");
     },
     true, "epgindex: write error on %s.idxe: No space left on device\n", true},
    // Reading from address 0 of the process's own memory fails with EIO.
    {"ReadError", [](const std::string& dir) { makeLink("/proc/self/mem", dir + "/week.txt"); },
     true, "epgindex: read error on %s: Input/output error\n", true},
};

class EpgindexFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(EpgindexFailureTest, ReportsOnceAndLeavesNoIndex) {
  const FailureCase& c = GetParam();
  TempDir dir;
  c.prepare(dir.path());
  const std::string path = dir.file("week.txt");
  const std::string before = listing(dir.path());

  RunOptions options;
  options.workDir = dir.path();
  RunResult result = runProgram(
      kProgram, c.named ? std::vector<std::string>{path} : std::vector<std::string>{}, options);

  std::string message = c.message;
  message.replace(message.find("%s"), 2, c.named ? path : kProgram);
  EXPECT_EQ(message, result.err);
  EXPECT_EQ("", result.out);
  EXPECT_EQ(1, result.status);
  if (c.indexesRemoved) {
    EXPECT_FALSE(present(path + ".idxc"));
    EXPECT_FALSE(present(path + ".idxe"));
    EXPECT_TRUE(present("/dev/full"));  // the link went, not what it named
  } else {
    EXPECT_EQ(before, listing(dir.path()));
  }
}

INSTANTIATE_TEST_SUITE_P(Table, EpgindexFailureTest, ::testing::ValuesIn(kFailures),
                         CaseName());

// --- names and existing files ----------------------------------------------------

TEST(Epgindex, AppendsTheSuffixesToTheWholeRelativeName) {
  TempDir dir;
  ASSERT_EQ(0, mkdir(dir.file("sub").c_str(), 0755));
  writeFile(dir.file("sub/week.txt"), kSchedule);
  RunOptions options;
  options.workDir = dir.path();
  RunResult result = runProgram(kProgram, {"sub/week.txt", "further", "-h"}, options);
  EXPECT_EQ("", result.err);
  EXPECT_EQ(0, result.status);
  EXPECT_EQ("Alpha\f1\f0\n", readFile(dir.file("sub/week.txt.idxc")));
  EXPECT_EQ("News\f\f100\f600\f-1\n", readFile(dir.file("sub/week.txt.idxe")));
  EXPECT_FALSE(present(dir.file("sub/week.idxc")));
  EXPECT_EQ("sub/\n", listing(dir.path()));  // nothing for the further arguments
}

TEST(Epgindex, EmptiesExistingIndexFiles) {
  TempDir dir;
  const std::string path = dir.file("week.txt");
  writeFile(path, "C 1 Alpha\nc\n");
  writeFile(path + ".idxc", std::string(5000, 'x'));
  writeFile(path + ".idxe", std::string(5000, 'y'));
  RunResult result = runProgram(kProgram, {path});
  EXPECT_EQ("", result.err);
  EXPECT_EQ(0, result.status);
  EXPECT_EQ("Alpha\f0\f0\n", readFile(path + ".idxc"));
  EXPECT_EQ("", readFile(path + ".idxe"));
}

}  // namespace
