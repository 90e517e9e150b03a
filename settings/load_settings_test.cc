// loadSettings on the real path: results, messages and the image it leaves.
#include <string.h>
#include <sys/stat.h>

#include <string>

#include "gtest/gtest.h"
#include "settings/settings_store.h"
#include "testing/conf_builder.h"
#include "testing/config_dir.h"

namespace {

class LoadSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    resetConfigDir();
    memset(&settingsImage, 0, sizeof settingsImage);
  }

  // Runs the loader, returning its result and what it wrote on standard error.
  int load(SettingsLayout layout, std::string* err) {
    ::testing::internal::CaptureStderr();
    int result = loadSettings(layout);
    *err = ::testing::internal::GetCapturedStderr();
    return result;
  }

  static bool imageIsZero() {
    const SettingsImage zero{};
    return memcmp(&settingsImage, &zero, sizeof zero) == 0;
  }

  const std::string path_ = configFile("conf.bin");
};

TEST_F(LoadSettings, PathIsTheConfigurationDirectorysConfBin) {
  EXPECT_EQ(path_, settingsPath());
}

TEST_F(LoadSettings, MissingFileLeavesTheImageAlone) {
  std::string err;
  EXPECT_EQ(SETTINGS_NOT_FOUND, load(LAYOUT_CURRENT, &err));
  EXPECT_EQ(path_ + ": not found\n", err);
  EXPECT_TRUE(imageIsZero());
  EXPECT_STREQ("/var/mnt/usb/quarn", storagePath(storageIndex(settingsImage)));
}

TEST_F(LoadSettings, DirectoryIsNotFound) {
  ASSERT_EQ(0, mkdir(path_.c_str(), 0755));
  std::string err;
  EXPECT_EQ(SETTINGS_NOT_FOUND, load(LAYOUT_OLDER, &err));
  EXPECT_EQ(path_ + ": not found\n", err);
  EXPECT_TRUE(imageIsZero());
}

TEST_F(LoadSettings, EachOutcomeForEachLayout) {
  struct Case {
    SettingsLayout layout;
    std::string bytes;
    int result;
    const char* message;  // after the path
    int32_t storage;
  } cases[] = {
      {LAYOUT_CURRENT, ConfBuilder().storageIndex(3).bytes(), SETTINGS_OK, "", 3},
      {LAYOUT_OLDER, ConfBuilder(LAYOUT_OLDER).storageIndex(5).bytes(), SETTINGS_OK, "", 5},
      {LAYOUT_CURRENT, "", SETTINGS_CORRUPT, ": corrupt (size)\n", 0},
      {LAYOUT_CURRENT, ConfBuilder(LAYOUT_OLDER).storageIndex(6).bytes(), SETTINGS_CORRUPT,
       ": corrupt (size)\n", 6},
      {LAYOUT_OLDER, ConfBuilder().storageIndex(2).slot(0, "abc", 1).bytes(), SETTINGS_CORRUPT,
       ": corrupt (checksum)\n", 2},
      {LAYOUT_CURRENT, ConfBuilder().storageIndex(1).checksum(2).bytes(), SETTINGS_CORRUPT,
       ": corrupt (checksum)\n", 1},
  };
  for (const Case& c : cases) {
    SetUp();
    writeFile(path_, c.bytes);
    std::string err;
    EXPECT_EQ(c.result, load(c.layout, &err)) << c.message;
    EXPECT_EQ(c.result == SETTINGS_OK ? "" : path_ + c.message, err);
    EXPECT_EQ(c.storage, storageIndex(settingsImage));
  }
}

}  // namespace
