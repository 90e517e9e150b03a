#include "inputs/default_inputs.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "inputs/input_list.h"
#include "testing/conf_builder.h"
#include "testing/inputs_builder.h"
#include "testing/run_program.h"
#include "testing/case_name.h"

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1) {
    parts.push_back(text.substr(start, end - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

std::string describe(const InputDefinition& d) {
  return std::string(d.name) + "|" + d.code1 + "|" + d.code2 + "|" + d.code3 + "|" +
         std::to_string(d.timeOffset) + "|" + d.label + "|" + std::to_string(d.number) + "|" +
         d.prefix + "|" + d.suffix + "|" + d.source;
}

// The thirteen default definitions, fields as stored ("-" in the file gives
// an empty source), with the kind of their source.
struct Row {
  const char* fields;
  SourceKind kind;
};

const Row kRows[] = {
    {"CSAT(FR)|e|l|f|0|mhw-fr|8|epg|.dat|tsid:044ah-1:0:1:238d:44a:1:c00000:0:0:0:", SOURCE_TSID},
    {"TPS(FR)|e|l|f|0|otv-fr|8|epg|.dat|tsid:2e18h-1:0:1:5dd:2e18:b0:820000:0:0:0:", SOURCE_TSID},
    {"EnigmaCache|c|u|f|0|-|0|-|-|", SOURCE_NONE},
    {"SavedCache|s|u|f|7200|ec-save|5|epg|.dat|", SOURCE_NONE},
    {"MHW(NL)|e|l|f|0|mhw-nl|5|epg|.dat|tsid:0451h-1:0:1:fab:451:35:c00000:0:0:0:", SOURCE_TSID},
    {"MHW(PL)|e|l|f|0|mhw-pl|5|epg|.dat|tsid:2af8h-1:0:1:1162:2af8:13e:820000:0:0:0:",
     SOURCE_TSID},
    {"Digital+(ES)|e|l|f|0|mhw-es|5|epg|.dat|tsid:0422h-1:0:1:75d0:422:1:c00000:0:0:0:",
     SOURCE_TSID},
    {"SkyItalia(IT)|e|l|f|0|mhw-it|5|epg|.dat|tsid:0320h-1:0:1:3900:0320:fbff:820000:0:0:0:",
     SOURCE_TSID},
    {"NordicTEAM|e|l|r|-7200|nordicteam|7|tv-|.dat|http://nordicteam.example.net/", SOURCE_HTTP},
    {"Ostrel(EU)|e|l|r|0|ostrel-eu|3|tv-|.dat|http://quarn.example.org/data/e", SOURCE_HTTP},
    {"KULICHIKI|e|u|r|-18000|kul-rus|2|kul_|.dat|http://kulichiki.example.net/tv/", SOURCE_HTTP},
    {"Orvane(NL)|x|u|r|0|orvane-nl|4|tv-|.xmltv|http://orvane.example.net/xmltv/", SOURCE_HTTP},
    {"MyXMLTV|x|u|f|0|myxmltv|4|tv|.xmltv|", SOURCE_NONE},
};

// The file line of a row: one blank between columns, two before the offset
// of a tsid: row, and "-" for an empty source.
std::string fileLine(const Row& row) {
  std::vector<std::string> f = split(row.fields, '|');
  if (f[9].empty()) f[9] = "-";
  std::string line = f[0];
  for (size_t i = 1; i < f.size(); ++i) {
    line += (i == 4 && row.kind == SOURCE_TSID ? "  " : " ") + f[i];
  }
  return line;
}

TEST(DefaultInputs, SixteenLinesRowByRow) {
  std::vector<std::string> lines = split(defaultInputsText, '\n');
  ASSERT_EQ(17u, lines.size());
  EXPECT_EQ("", lines[16]) << "the last line ends in a newline";
  EXPECT_EQ("# QUARN input definitions.", lines[0]);
  EXPECT_EQ("# http://quarn.example.org/userguide.html#id", lines[1]);
  EXPECT_EQ("#", lines[2]);
  for (size_t i = 0; i < 13; ++i) EXPECT_EQ(fileLine(kRows[i]), lines[3 + i]) << "row " << i + 1;
}

TEST(DefaultInputs, IsTheExampleFile) {
  EXPECT_EQ(readFile(QUARN_SOURCE_DIR "/examples/current/inputs.txt"), defaultInputsText);
}

TEST(DefaultInputs, EveryRowIsInThePlainForm) {
  std::vector<std::string> lines = split(defaultInputsText, '\n');
  for (size_t i = 0; i < 13; ++i) {
    const std::string& line = lines[3 + i];
    InputDefinition d;
    EXPECT_EQ(LINE_PLAIN, parseInputLine(line.data(), line.size(), []() { return true; }, &d)) << line;
    EXPECT_EQ(kRows[i].fields, describe(d));
  }
}

TEST(DefaultInputs, LoadsThirteenDefinitions) {
  FILE* file = InputsBuilder().raw(defaultInputsText).open();
  MessageCapture messages;
  InputList list(file, messages.stream());
  fclose(file);
  EXPECT_EQ("", messages.text());
  ASSERT_EQ(13, list.size());
  size_t i = 0;
  for (const InputDefinition* d = list.next(true); d != nullptr; d = list.next(false), ++i) {
    EXPECT_EQ(kRows[i].fields, describe(*d));
    EXPECT_EQ(kRows[i].kind, sourceKind(d->source)) << d->name;
  }
  const InputDefinition* cache = list.find("EnigmaCache");
  ASSERT_NE(nullptr, cache);
  EXPECT_STREQ("-", cache->label);
  EXPECT_EQ(0, cache->number);
  EXPECT_STREQ("-", cache->prefix);
  EXPECT_STREQ("-", cache->suffix);
  EXPECT_STREQ("", cache->source);
}

TEST(SourceKind, FirstFiveCharacters) {
  struct Case {
    const char* text;
    SourceKind kind;
  } cases[] = {
      {"", SOURCE_NONE},
      {"-", SOURCE_NONE},
      {"http", SOURCE_NONE},
      {"http:", SOURCE_HTTP},
      {"http://x/", SOURCE_HTTP},
      {"https://x/", SOURCE_NONE},
      {"HTTP:", SOURCE_NONE},
      {"tsid:044ah-1:0:1:238d:44a:1:c00000:0:0:0:", SOURCE_TSID},
      {"tsid", SOURCE_NONE},
      {"otid:", SOURCE_OTID},
      {"otid:anything at all", SOURCE_OTID},
      {" tsid:", SOURCE_NONE},
      {"tsid;", SOURCE_NONE},
      {"file:", SOURCE_NONE},
  };
  for (const Case& c : cases) EXPECT_EQ(c.kind, sourceKind(c.text)) << '"' << c.text << '"';
  EXPECT_EQ(SOURCE_NONE, sourceKind(nullptr));
}

TEST(FileSize, WhatStatSees) {
  TempDir dir;
  EXPECT_EQ(-1, fileSize(dir.file("absent").c_str()));
  EXPECT_FALSE(fileExists(dir.file("absent").c_str()));
  EXPECT_EQ(-1, fileSize(dir.file("absent/below").c_str()));
  EXPECT_EQ(-1, fileSize(nullptr));
  EXPECT_FALSE(fileExists(nullptr));

  writeFile(dir.file("empty"), "");
  EXPECT_EQ(0, fileSize(dir.file("empty").c_str()));
  EXPECT_TRUE(fileExists(dir.file("empty").c_str()));
  writeFile(dir.file("five"), "12345");
  EXPECT_EQ(5, fileSize(dir.file("five").c_str()));
  EXPECT_TRUE(fileExists(dir.path().c_str())) << "a directory counts";

  ASSERT_EQ(0, symlink("absent", dir.file("dangling").c_str()));
  EXPECT_FALSE(fileExists(dir.file("dangling").c_str())) << "stat follows the link";
}

TEST(FileSize, HugeFilesAnswerTheLargest32BitSize) {
  TempDir dir;
  std::string path = dir.file("huge");
  writeFile(path, "");
  struct Size {
    off_t bytes;
    int32_t answer;
  } sizes[] = {{INT32_MAX, INT32_MAX},
               {off_t{INT32_MAX} + 1, INT32_MAX},
               {off_t{1} << 32, INT32_MAX},
               {(off_t{1} << 32) + 5, INT32_MAX}};
  for (const Size& s : sizes) {
    // Sparse files: no data is written.
    if (truncate(path.c_str(), s.bytes) != 0) GTEST_SKIP() << "no large files here";
    EXPECT_EQ(s.answer, fileSize(path.c_str())) << s.bytes;
  }
}

// What is at the path before writeDefaultInputsAt, and what is there after.
enum Before : uint8_t { NOTHING, EMPTY_FILE, OTHER_FILE, DIRECTORY, NO_DIRECTORY, DANGLING_LINK };

struct WriteCase {
  const char* name;
  Before before;
  bool regularFileAfter;
  std::string contentAfter;
  bool message;  // ERR_INPUTS_CREATE with the path
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class WriteDefaults : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteDefaults, CreatesOnlyWhatIsMissing) {
  const WriteCase& c = GetParam();
  TempDir dir;
  std::string path = dir.file(c.before == NO_DIRECTORY ? "missing/inputs.txt" : "inputs.txt");
  switch (c.before) {
    case EMPTY_FILE:
      writeFile(path, "");
      break;
    case OTHER_FILE:
      writeFile(path, "X e l f 0 lbl 5 epg .dat src\n");
      break;
    case DIRECTORY:
      ASSERT_EQ(0, mkdir(path.c_str(), 0755));
      break;
    case DANGLING_LINK:
      ASSERT_EQ(0, symlink("target", path.c_str()));
      break;
    case NOTHING:
    case NO_DIRECTORY:
      break;
  }
  MessageCapture messages;
  writeDefaultInputsAt(path.c_str(), messages.stream());

  EXPECT_EQ(c.message ? "Erreur erreur. " + path + ".\n" : "", messages.text());
  struct stat info;
  bool regular = lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
  EXPECT_EQ(c.regularFileAfter, regular);
  if (regular) {
    EXPECT_EQ(c.contentAfter, readFile(path));
  }
  EXPECT_FALSE(fileExists(dir.file("target").c_str())) << "no file made through a link";
}

INSTANTIATE_TEST_SUITE_P(
    Table, WriteDefaults,
    ::testing::Values(
        WriteCase{"Absent", NOTHING, true, defaultInputsText, false},
        WriteCase{"EmptyFileStaysEmpty", EMPTY_FILE, true, "", false},
        WriteCase{"OtherFileStays", OTHER_FILE, true, "X e l f 0 lbl 5 epg .dat src\n", false},
        WriteCase{"DirectoryStays", DIRECTORY, false, "", false},
        WriteCase{"NoDirectory", NO_DIRECTORY, false, "", true},
        // Never written through, and the missing file is reported.
        WriteCase{"DanglingLinkIsReported", DANGLING_LINK, false, "", true}),
    CaseName());

// A file size limit below the text's length makes the write fail part way:
// the cut file must go, so that a later call writes it whole.
TEST(WriteDefaults, FailedWriteRemovesTheCutFile) {
  TempDir dir;
  std::string path = dir.file("inputs.txt");
  std::string messagesPath = dir.file("messages");
  fflush(nullptr);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    struct rlimit limit = {512, 512};  // the messages fit, the text does not
    signal(SIGXFSZ, SIG_IGN);
    FILE* messages = fopen(messagesPath.c_str(), "w");
    if (messages == nullptr || setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(2);
    writeDefaultInputsAt(path.c_str(), messages);
    _exit(fclose(messages) == 0 ? 0 : 3);
  }
  int status = 0;
  ASSERT_EQ(child, waitpid(child, &status, 0));
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ("Erreur erreur. " + path + ".\n", readFile(messagesPath));
  EXPECT_FALSE(fileExists(path.c_str()));

  MessageCapture messages;
  writeDefaultInputsAt(path.c_str(), messages.stream());
  EXPECT_EQ("", messages.text());
  EXPECT_EQ(defaultInputsText, readFile(path));
}

}  // namespace
