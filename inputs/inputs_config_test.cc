// The input definitions at their fixed place in the configuration directory.
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "inputs/input_list.h"
#include "testing/conf_builder.h"
#include "testing/config_dir.h"
#include "testing/inputs_builder.h"

namespace {

class FixedPath : public ::testing::Test {
 protected:
  void SetUp() override { resetConfigDir(); }
  const std::string path_ = configFile("inputs.txt");
};

TEST_F(FixedPath, IsInTheConfigurationDirectory) { EXPECT_EQ(path_, inputsPath()); }

TEST_F(FixedPath, DefaultsAreWrittenThereAndLoadedFromThere) {
  writeDefaultInputs();
  EXPECT_EQ(defaultInputsText, readFile(path_));
  InputList list;
  EXPECT_EQ(13, list.size());
  EXPECT_STREQ("CSAT(FR)", list.next(true)->name);
  EXPECT_STREQ("mhw-it", list.find("SkyItalia(IT)")->label);
}

TEST_F(FixedPath, ExistingFileIsKept) {
  InputsBuilder file = InputsBuilder().definition(InputColumns().set(1, "Mine"));
  file.write(path_);
  writeDefaultInputs();
  EXPECT_EQ(file.bytes(), readFile(path_));
  InputList list;
  EXPECT_EQ(1, list.size());
  EXPECT_NE(nullptr, list.find("Mine"));
}

TEST_F(FixedPath, LoadingNeverCreatesTheFile) {
  MessageCapture messages;
  InputList list(inputsPath(), messages.stream());
  EXPECT_EQ("Erreur erreur. " + path_ + ".\n", messages.text());
  EXPECT_EQ("", readFile(path_));
  EXPECT_FALSE(fileExists(inputsPath()));
}

}  // namespace
