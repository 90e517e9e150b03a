// confdump end to end under injected faults: files that cannot be opened,
// reads that fail midway, allocations that fail while inputs.txt loads.
#include <ostream>
#include <string>

#include "gtest/gtest.h"
#include "inputs/input_list.h"
#include "testing/conf_builder.h"
#include "testing/config_dir.h"
#include "testing/fault_injection.h"
#include "testing/run_program.h"
#include "testing/case_name.h"

namespace {

const std::string kConf = configFile("conf.bin");
const std::string kInputs = configFile("inputs.txt");

std::string storage(const std::string& path) { return "STORAGEDIR=" + path + "\n"; }

std::string csat0() {
  return "R0=tsid:044ah-1:0:1:238d:44a:1:c00000:0:0:0:\nL0=mhw-fr\nP0=epg\nA0=.dat\nD0=8\nT0=f\n";
}
std::string enigmaCache2() { return "R2=\nL2=-\nP2=-\nA2=-\nD2=0\nT2=f\n"; }
std::string myXmltv3() { return "R3=\nL3=myxmltv\nP3=tv\nA3=.xmltv\nD3=4\nT3=f\n"; }

// Offset of a line of the default inputs.txt that starts with `start`.
long lineAt(const std::string& start) {
  return static_cast<long>(std::string(defaultInputsText).find("\n" + start) + 1);
}

struct Case {
  const char* name;
  Faults faults;
  std::string out;
  std::string err;
  int status;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

// Settings selecting /hdd/quarn with slots 0, 2 and 3 enabled: CSAT(FR),
// EnigmaCache and MyXMLTV, the first, third and last definitions of the
// default inputs.txt.
std::string conf() {
  return ConfBuilder()
      .storageIndex(4)
      .slot(0, "CSAT(FR)", 1)
      .slot(2, "EnigmaCache", 1)
      .slot(3, "MyXMLTV", 1)
      .bytes();
}

std::string notFound() { return kConf + ": not found\n"; }
std::string readError() { return kConf + ": read error\n"; }
std::string inputsMessage(const std::string& detail) { return "Erreur erreur. " + detail + ".\n"; }

Case readFails(const char* name, const std::string& path, long after, const std::string& out,
               const std::string& err, int status) {
  Faults f;
  f.readFails = path;
  f.readAfter = after;
  return {name, f, out, err, status};
}

Case openFails(const char* name, const std::string& path, const std::string& out,
               const std::string& err, int status) {
  Faults f;
  f.openFails = path;
  return {name, f, out, err, status};
}

Case mallocFails(const char* name, long after, const std::string& out, const std::string& err) {
  Faults f;
  f.mallocAfter = after;
  return {name, f, out, err, 0};
}

const std::string kAll = storage("/hdd/quarn") + csat0() + enigmaCache2() + myXmltv3();

const Case kCases[] = {
    openFails("ConfBinUnreadable", kConf, storage("/var/mnt/usb/quarn"), notFound(), 1),
    openFails("InputsUnreadable", kInputs, storage("/hdd/quarn"), inputsMessage(kInputs), 0),

    // What was read before the error is in the image: the storage index.
    readFails("ConfBinReadErrorMidway", kConf, 100, storage("/hdd/quarn"), readError(), 1),
    readFails("ConfBinReadErrorAtOnce", kConf, 0, storage("/var/mnt/usb/quarn"), readError(), 1),
    readFails("ConfBinReadErrorAfterItsLastByte", kConf, 2200, kAll, "", 0),

    // The lines before the error stay; the line it cuts short is not loaded.
    readFails("InputsReadErrorMidLine", kInputs, lineAt("EnigmaCache") + 5,
              storage("/hdd/quarn") + csat0(),
              inputsMessage(kInputs + ": Input/output error"), 0),
    readFails("InputsReadErrorAtALineStart", kInputs, lineAt("EnigmaCache"),
              storage("/hdd/quarn") + csat0(),
              inputsMessage(kInputs + ": Input/output error"), 0),
    readFails("InputsReadErrorAtOnce", kInputs, 0, storage("/hdd/quarn"),
              inputsMessage(kInputs + ": Input/output error"), 0),

    // One allocation per definition: the first ones stay, one message.
    mallocFails("NoAllocation", 0, storage("/hdd/quarn"), inputsMessage("out of memory")),
    mallocFails("FirstAllocationOnly", 1, storage("/hdd/quarn") + csat0(),
                inputsMessage("out of memory")),
    mallocFails("AllButTheLastDefinition", 12, storage("/hdd/quarn") + csat0() + enigmaCache2(),
                inputsMessage("out of memory")),
    mallocFails("EnoughAllocations", 13, kAll, ""),
};

class ConfdumpFaultTest : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override { resetConfigDir(); }
};

TEST_P(ConfdumpFaultTest, ReportsAndLeavesTheFilesAlone) {
  const Case& c = GetParam();
  writeFile(kConf, conf());
  writeFile(kInputs, defaultInputsText);
  RunResult result = runProgram(QUARN_CONFDUMP_BIN, {}, withFaults(c.faults));
  EXPECT_EQ(c.out, result.out);
  EXPECT_EQ(c.err, result.err);
  EXPECT_EQ(c.status, result.status);
  EXPECT_EQ(conf(), readFile(kConf));
  EXPECT_EQ(defaultInputsText, readFile(kInputs));
}

INSTANTIATE_TEST_SUITE_P(Table, ConfdumpFaultTest, ::testing::ValuesIn(kCases),
                         CaseName());

// Both files fail: the inputs message comes first, as inputs.txt loads first.
TEST(ConfdumpFaults, BothFilesFail) {
  resetConfigDir();
  writeFile(kConf, conf());
  writeFile(kInputs, defaultInputsText);
  Faults f;
  f.openFails = kInputs;
  f.readFails = kConf;
  f.readAfter = 2199;
  RunResult result = runProgram(QUARN_CONFDUMP_BIN, {}, withFaults(f));
  EXPECT_EQ(storage("/hdd/quarn"), result.out);
  EXPECT_EQ(inputsMessage(kInputs) + readError(), result.err);
  EXPECT_EQ(1, result.status);
}

}  // namespace
