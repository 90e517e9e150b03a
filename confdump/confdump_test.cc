// confdump end to end: the built program against conf.bin and inputs.txt
// fixtures in the configuration directory.
#include <sys/stat.h>
#include <unistd.h>

#include <ostream>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "inputs/input_list.h"
#include "testing/conf_builder.h"
#include "testing/config_dir.h"
#include "testing/inputs_builder.h"
#include "testing/run_program.h"
#include "testing/case_name.h"

namespace {

const std::string kConf = configFile("conf.bin");
const std::string kInputs = configFile("inputs.txt");
const char kAbsent[] = "(absent)";  // the file is not written at all

struct Case {
  const char* name;
  std::string inputs;
  std::string conf;
  std::vector<std::string> args;
  std::string out;
  std::string err;
  int status;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

std::string notFound() { return kConf + ": not found\n"; }
std::string size() { return kConf + ": corrupt (size)\n"; }
std::string checksum() { return kConf + ": corrupt (checksum)\n"; }
std::string badIndex() { return kConf + ": corrupt (storage index)\n"; }
std::string noInputs() { return "Erreur erreur. " + kInputs + ".\n"; }
std::string badLine(const std::string& line) { return "Erreur erreur. " + line + ".\n"; }

std::string storage(const std::string& path) { return "STORAGEDIR=" + path + "\n"; }

// The six lines of one slot.
std::string block(int slot, const std::string& source, const std::string& label,
                  const std::string& prefix, const std::string& suffix, const std::string& number,
                  const std::string& code) {
  std::string n = std::to_string(slot);
  return "R" + n + "=" + source + "\nL" + n + "=" + label + "\nP" + n + "=" + prefix + "\nA" +
         n + "=" + suffix + "\nD" + n + "=" + number + "\nT" + n + "=" + code + "\n";
}

std::string csat(int slot) {
  return block(slot, "tsid:044ah-1:0:1:238d:44a:1:c00000:0:0:0:", "mhw-fr", "epg", ".dat", "8",
               "f");
}
std::string enigmaCache(int slot) { return block(slot, "", "-", "-", "-", "0", "f"); }

// Settings in the current layout selecting /hdd/quarn.
ConfBuilder hdd() { return ConfBuilder().storageIndex(4); }

std::vector<Case> cases() {
  const std::string defaults = defaultInputsText;
  const std::string crlfDefaults = [] {
    InputsBuilder file;
    file.lineEnd("\r\n");
    std::string text = defaultInputsText;
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
      file.line(text.substr(start, end - start));
    }
    return file.bytes();
  }();
  const std::string twoA = InputsBuilder()
                               .definition(InputColumns().set(1, "A").set(6, "first"))
                               .definition(InputColumns().set(1, "A").set(6, "second"))
                               .bytes();
  const std::string nine = "CSAT(FR) e l f 0 mhw-fr 8 epg .dat\n";
  const std::string csatSlot0 = hdd().slot(0, "CSAT(FR)", 1).bytes();
  return {
      {"WorkedExample", defaults, csatSlot0, {}, storage("/hdd/quarn") + csat(0), "", 0},
      {"AllSlotsDisabled", defaults,
       hdd().slot(0, "CSAT(FR)", 0).slot(1, "TPS(FR)", 0).slot(2, "EnigmaCache", 0)
           .slot(3, "MHW(NL)", 0).slot(4, "MyXMLTV", 0).bytes(),
       {}, storage("/hdd/quarn"), "", 0},
      {"Slot2EnigmaCache", defaults, hdd().slot(2, "EnigmaCache", 1).bytes(), {},
       storage("/hdd/quarn") + enigmaCache(2), "", 0},
      {"Slots1And3", defaults,
       hdd().slot(0, "CSAT(FR)", 0).slot(1, "KULICHIKI", 1).slot(2, "TPS(FR)", 0)
           .slot(3, "Orvane(NL)", 1).slot(4, "MyXMLTV", 0).bytes(),
       {},
       storage("/hdd/quarn") +
           block(1, "http://kulichiki.example.net/tv/", "kul-rus", "kul_", ".dat", "2", "r") +
           block(3, "http://orvane.example.net/xmltv/", "orvane-nl", "tv-", ".xmltv", "4", "r"),
       "", 0},
      {"AllFiveSlots", defaults,
       hdd().slot(0, "MyXMLTV", 1).slot(1, "SavedCache", 1).slot(2, "EnigmaCache", 1)
           .slot(3, "CSAT(FR)", 1).slot(4, "NordicTEAM", 1).bytes(),
       {},
       storage("/hdd/quarn") + block(0, "", "myxmltv", "tv", ".xmltv", "4", "f") +
           block(1, "", "ec-save", "epg", ".dat", "5", "f") + enigmaCache(2) + csat(3) +
           block(4, "http://nordicteam.example.net/", "nordicteam", "tv-", ".dat", "7", "r"),
       "", 0},
      {"TwoSlotsOneDefinition", defaults,
       hdd().slot(0, "EnigmaCache", 1).slot(4, "EnigmaCache", 1).bytes(), {},
       storage("/hdd/quarn") + enigmaCache(0) + enigmaCache(4), "", 0},
      {"EnabledTwoAndMinusOne", defaults,
       hdd().slot(0, "CSAT(FR)", 2).slot(1, "EnigmaCache", -1).bytes(), {},
       storage("/hdd/quarn") + csat(0) + enigmaCache(1), "", 0},
      {"CaseMismatch", defaults, hdd().slot(0, "csat(fr)", 1).bytes(), {}, storage("/hdd/quarn"),
       "", 0},
      {"UnmatchedSlotIsSilent", defaults,
       hdd().slot(0, "Nowhere", 1).slot(1, "CSAT(FR)", 1).bytes(), {},
       storage("/hdd/quarn") + csat(1), "", 0},
      {"DuplicateNamesFirstWins", twoA, hdd().slot(0, "A", 1).bytes(), {},
       storage("/hdd/quarn") + block(0, "src", "first", "epg", ".dat", "5", "f"), "", 0},
      {"NegativeNumber",
       InputsBuilder().definition(InputColumns().set(1, "N").set(7, "-42")).bytes(),
       hdd().slot(0, "N", 1).bytes(), {},
       storage("/hdd/quarn") + block(0, "src", "lbl", "epg", ".dat", "-42", "f"), "", 0},
      {"CrLfInputs", crlfDefaults, csatSlot0, {}, storage("/hdd/quarn") + csat(0), "", 0},
      {"StorageIndex5", defaults, ConfBuilder().storageIndex(5).bytes(), {},
       storage("/var/tuxbox/config/quarn"), "", 0},

      // Settings that do not load: the directory still, no slot lines, status 1.
      {"NoConfBin", defaults, kAbsent, {}, storage("/var/mnt/usb/quarn"), notFound(), 1},
      {"OlderLayout", defaults, ConfBuilder(LAYOUT_OLDER).storageIndex(2).bytes(), {},
       storage("/var/mnt/cf/quarn"), size(), 1},
      {"ChecksumError", defaults,
       ConfBuilder().storageIndex(6).slot(0, "CSAT(FR)", 1).checksum(1).bytes(), {},
       storage("/var/tmp/quarn"), checksum(), 1},
      {"EmptyConfBin", defaults, "", {}, storage("/var/mnt/usb/quarn"), size(), 1},

      // inputs.txt problems never change the status.
      {"NoInputsFile", kAbsent, csatSlot0, {}, storage("/hdd/quarn"), noInputs(), 0},
      {"NoFileAtAll", kAbsent, kAbsent, {}, storage("/var/mnt/usb/quarn"),
       noInputs() + notFound(), 1},
      {"BadLineOfTheSlot", nine + defaults.substr(defaults.find("TPS")), csatSlot0, {},
       storage("/hdd/quarn"), badLine(nine), 0},
      {"BadLinesBeforeLoaderMessage", "\n" + nine, kAbsent, {}, storage("/var/mnt/usb/quarn"),
       badLine("\n") + badLine(nine) + notFound(), 1},

      // A storage index outside the table: no STORAGEDIR line, status 1.
      {"StorageIndex7", defaults, ConfBuilder().storageIndex(7).slot(0, "CSAT(FR)", 1).bytes(),
       {}, "", badIndex(), 1},
      {"StorageIndexMinus1", defaults, ConfBuilder().storageIndex(-1).bytes(), {}, "",
       badIndex(), 1},
      {"StorageIndexOutAfterChecksumError", defaults,
       ConfBuilder().storageIndex(INT32_MAX).checksum(0).bytes(), {}, "",
       checksum() + badIndex(), 1},
      {"StorageIndexOutAfterSizeError", kAbsent,
       ConfBuilder().storageIndex(INT32_MIN).truncate(100).bytes(), {}, "",
       noInputs() + size() + badIndex(), 1},

      {"ArgumentsIgnored", defaults, csatSlot0, {"-h", "--help", "x", ""},
       storage("/hdd/quarn") + csat(0), "", 0},
      {"ArgumentsIgnoredOnFailure", defaults, kAbsent, {"/dev/null"},
       storage("/var/mnt/usb/quarn"), notFound(), 1},
  };
}

class ConfdumpTest : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override { resetConfigDir(); }
};

TEST_P(ConfdumpTest, OutputErrorsAndStatus) {
  const Case& c = GetParam();
  if (c.inputs != kAbsent) writeFile(kInputs, c.inputs);
  if (c.conf != kAbsent) writeFile(kConf, c.conf);
  RunResult result = runProgram(QUARN_CONFDUMP_BIN, c.args);
  EXPECT_EQ(c.out, result.out);
  EXPECT_EQ(c.err, result.err);
  EXPECT_EQ(c.status, result.status);
}

INSTANTIATE_TEST_SUITE_P(Table, ConfdumpTest, ::testing::ValuesIn(cases()),
                         CaseName());

// The bundled examples, as a newcomer sees them.
TEST(Confdump, ExampleFiles) {
  resetConfigDir();
  writeFile(kConf, readFile(QUARN_SOURCE_DIR "/examples/current/conf.bin"));
  writeFile(kInputs, readFile(QUARN_SOURCE_DIR "/examples/current/inputs.txt"));
  RunResult result = runProgram(QUARN_CONFDUMP_BIN, {});
  EXPECT_EQ(storage("/hdd/quarn") + csat(0) + enigmaCache(2) +
                block(3, "http://orvane.example.net/xmltv/", "orvane-nl", "tv-", ".xmltv", "4",
                      "r"),
            result.out);
  EXPECT_EQ("", result.err);
  EXPECT_EQ(0, result.status);
}

TEST(Confdump, FullStandardOutputIsAFailure) {
  const std::string full = "confdump: write error on standard output: No space left on device\n";
  struct {
    bool conf;
    std::string err;
  } runs[] = {{true, full}, {false, notFound() + full}};
  for (const auto& run : runs) {
    resetConfigDir();
    writeFile(kInputs, defaultInputsText);
    if (run.conf) writeFile(kConf, hdd().slot(0, "CSAT(FR)", 1).bytes());
    RunOptions options;
    options.stdoutPath = "/dev/full";
    RunResult result = runProgram(QUARN_CONFDUMP_BIN, {}, options);
    EXPECT_EQ(run.err, result.err);
    EXPECT_EQ(1, result.status);
  }
}

// A directory, or a link to a file that is gone, where a file should be.
TEST(Confdump, DirectoriesAndVanishedFiles) {
  struct {
    const std::string* path;
    bool directory;  // otherwise a dangling link
    std::string out;
    std::string err;
    int status;
  } runs[] = {
      {&kInputs, true, storage("/hdd/quarn"), noInputs(), 0},
      {&kInputs, false, storage("/hdd/quarn"), noInputs(), 0},
      {&kConf, true, storage("/var/mnt/usb/quarn"), notFound(), 1},
      {&kConf, false, storage("/var/mnt/usb/quarn"), notFound(), 1},
  };
  for (const auto& run : runs) {
    resetConfigDir();
    writeFile(kInputs, defaultInputsText);
    writeFile(kConf, hdd().slot(0, "CSAT(FR)", 1).bytes());
    ASSERT_EQ(0, unlink(run.path->c_str()));
    if (run.directory) {
      ASSERT_EQ(0, mkdir(run.path->c_str(), 0755));
    } else {
      ASSERT_EQ(0, symlink(configFile("gone").c_str(), run.path->c_str()));
    }
    RunResult result = runProgram(QUARN_CONFDUMP_BIN, {});
    EXPECT_EQ(run.out, result.out) << *run.path << run.directory;
    EXPECT_EQ(run.err, result.err) << *run.path << run.directory;
    EXPECT_EQ(run.status, result.status) << *run.path << run.directory;
  }
}

}  // namespace
