#include "settings/settings_store.h"

#include <string.h>

#include <string>

#include "gtest/gtest.h"
#include "testing/conf_builder.h"

namespace {

struct Loaded {
  SettingsStatus status;
  SettingsImage image;
};

Loaded load(const std::string& bytes, SettingsLayout layout = LAYOUT_CURRENT) {
  Loaded result;
  memset(&result.image, 0, sizeof result.image);
  result.status = readSettings(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                               layout, &result.image);
  return result;
}

// The image's sections laid end to end, as the file holds them.
std::string flat(const SettingsImage& image, SettingsLayout layout = LAYOUT_CURRENT) {
  std::string bytes(reinterpret_cast<const char*>(image.sectionA), sectionASize(layout));
  bytes.append(reinterpret_cast<const char*>(image.sectionB), SECTION_B_SIZE);
  bytes.append(reinterpret_cast<const char*>(image.sectionC), SECTION_C_SIZE);
  return bytes;
}

ConfBuilder exampleFile() { return ConfBuilder().storageIndex(2).slot(0, "abc", 1); }

// A pattern with no zero byte, so that every byte that arrived shows.
ConfBuilder patterned(SettingsLayout layout) {
  ConfBuilder builder(layout);
  for (size_t i = 0; i < settingsFileSize(layout); ++i) builder.byte(i, 1 + i % 251);
  return builder;
}

TEST(SettingsImage, IsAllZeroBeforeLoading) {
  const SettingsImage zero{};
  EXPECT_EQ(0, memcmp(&settingsImage, &zero, sizeof zero));
  EXPECT_EQ(0, storageIndex(settingsImage));
}

TEST(ReadSettings, ExampleFileHasSum297) {
  std::string bytes = exampleFile().bytes();
  ASSERT_EQ(2200u, bytes.size());
  EXPECT_EQ(std::string("\x00\x00\x01\x29", 4), bytes.substr(276, 4));

  Loaded loaded = load(bytes);
  EXPECT_EQ(STATUS_OK, loaded.status);
  EXPECT_EQ(2, storageIndex(loaded.image));
  InputSlot slot = inputSlot(loaded.image, 0);
  EXPECT_STREQ("abc", slot.inputName);
  EXPECT_EQ(1, slot.enabled);
  EXPECT_EQ(0, inputSlot(loaded.image, 1).enabled);
}

TEST(ReadSettings, ImageAfterSuccessIsTheFileWithChecksumZero) {
  for (SettingsLayout layout : {LAYOUT_CURRENT, LAYOUT_OLDER}) {
    ConfBuilder builder = patterned(layout);
    std::string bytes = builder.bytes();
    Loaded loaded = load(bytes, layout);
    ASSERT_EQ(STATUS_OK, loaded.status) << "layout " << layout;
    std::string expected = bytes;
    expected.replace(builder.checksumOffset(), 4, 4, '\0');
    EXPECT_EQ(expected, flat(loaded.image, layout));
  }
}

TEST(ReadSettings, WrongChecksumKeepsAllBytesAndZeroesTheField) {
  for (uint32_t stored : {0u, 296u, 298u, 339u, 0x29010000u, 0xFFFFFFFFu}) {
    std::string bytes = exampleFile().checksum(stored).bytes();
    Loaded loaded = load(bytes);
    EXPECT_EQ(STATUS_CORRUPT_CHECKSUM, loaded.status) << stored;
    EXPECT_EQ(2, storageIndex(loaded.image));
    EXPECT_EQ(0u, storedChecksum(loaded.image));
    bytes.replace(276, 4, 4, '\0');
    EXPECT_EQ(bytes, flat(loaded.image));
  }
}

TEST(ReadSettings, EveryChangedByteIsRejected) {
  std::string bytes = patterned(LAYOUT_CURRENT).bytes();
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::string changed = bytes;
    changed[i] = static_cast<char>(changed[i] + 1);
    EXPECT_EQ(STATUS_CORRUPT_CHECKSUM, load(changed).status) << "byte " << i;
  }
}

TEST(ReadSettings, BytesCountAsUnsigned) {
  // 0xFF counted as -1 would give a different sum.
  EXPECT_EQ(STATUS_OK, load(ConfBuilder().fill(0xFF).bytes()).status);
  EXPECT_EQ(STATUS_OK, load(ConfBuilder(LAYOUT_OLDER).fill(0xFF).bytes(), LAYOUT_OLDER).status);
  EXPECT_EQ(2196u * 255u, ConfBuilder().fill(0xFF).rightChecksum());
}

TEST(ReadSettings, AllZeroFileIsValid) {
  Loaded loaded = load(std::string(2200, '\0'));
  EXPECT_EQ(STATUS_OK, loaded.status);
  EXPECT_EQ(0, storageIndex(loaded.image));
  for (size_t i = 0; i < INPUT_SLOTS; ++i) EXPECT_EQ(0, inputSlot(loaded.image, i).enabled);
}

TEST(ReadSettings, StorageIndexIsBigEndian) {
  struct Case {
    uint32_t written;
    int32_t read;
  } cases[] = {{5, 5}, {0x05000000, 83886080}, {0xFFFFFFFF, -1}, {0x80000000, INT32_MIN}};
  for (const Case& c : cases) {
    for (SettingsLayout layout : {LAYOUT_CURRENT, LAYOUT_OLDER}) {
      Loaded loaded = load(ConfBuilder(layout).u32(0, c.written).bytes(), layout);
      EXPECT_EQ(STATUS_OK, loaded.status);
      EXPECT_EQ(c.read, storageIndex(loaded.image)) << std::hex << c.written;
    }
  }
}

TEST(ReadSettings, ShortFilesFillWhatTheyReach) {
  // Each section holds the bytes that reached it; the rest stays zero.
  for (SettingsLayout layout : {LAYOUT_CURRENT, LAYOUT_OLDER}) {
    std::string whole = patterned(layout).bytes();
    for (size_t length : {size_t{0}, size_t{3}, size_t{100}, sectionASize(layout),
                          sectionASize(layout) + 70, whole.size() - 192, whole.size() - 1}) {
      Loaded loaded = load(whole.substr(0, length), layout);
      EXPECT_EQ(STATUS_CORRUPT_SIZE, loaded.status) << length;
      std::string expected = whole.substr(0, length) + std::string(whole.size() - length, '\0');
      EXPECT_EQ(expected, flat(loaded.image, layout)) << "layout " << layout << ", " << length;
    }
  }
}

TEST(ReadSettings, ExtraBytesAfterTheFileAreNotRead) {
  Loaded plain = load(exampleFile().bytes());
  Loaded extended = load(exampleFile().append(std::string(500, '\x7f')).bytes());
  EXPECT_EQ(STATUS_OK, extended.status);
  EXPECT_EQ(flat(plain.image), flat(extended.image));
}

TEST(ReadSettings, OlderFileReadAsCurrentIsTooShort) {
  Loaded loaded = load(ConfBuilder(LAYOUT_OLDER).storageIndex(6).bytes(), LAYOUT_CURRENT);
  EXPECT_EQ(STATUS_CORRUPT_SIZE, loaded.status);
  EXPECT_EQ(6, storageIndex(loaded.image));
}

TEST(ReadSettings, CurrentFileReadAsOlderTakesTheChecksumFromSectionB) {
  ConfBuilder current = ConfBuilder().storageIndex(4).slot(1, "x", 1);
  EXPECT_EQ(STATUS_CORRUPT_CHECKSUM, load(current.bytes(), LAYOUT_OLDER).status);
  // Bytes 240 to 243 that happen to hold the older layout's sum pass; the
  // current checksum at 276 is counted then, so it is held at zero.
  uint32_t olderSum = 4 + 'x' + 1;
  EXPECT_EQ(STATUS_OK, load(current.checksum(0).u32(240, olderSum).bytes(), LAYOUT_OLDER).status);
}

TEST(InputSlot, NameEndsAtTheFieldAtTheLatest) {
  std::string full(32, 'N');
  Loaded loaded = load(ConfBuilder().slot(4, full, -1).slot(3, "ab", 2).bytes());
  ASSERT_EQ(STATUS_OK, loaded.status);
  EXPECT_EQ(full, inputSlot(loaded.image, 4).inputName);
  EXPECT_EQ(-1, inputSlot(loaded.image, 4).enabled);
  EXPECT_STREQ("ab", inputSlot(loaded.image, 3).inputName);
  EXPECT_EQ(2, inputSlot(loaded.image, 3).enabled);
  EXPECT_STREQ("", inputSlot(loaded.image, 5).inputName);  // no such slot
}

TEST(StoragePath, SevenEntriesAndNothingOutside) {
  const char* expected[] = {"/var/mnt/usb/quarn", "/mnt/usb/quarn", "/var/mnt/cf/quarn",
                            "/mnt/cf/quarn",      "/hdd/quarn",     "/var/tuxbox/config/quarn",
                            "/var/tmp/quarn"};
  for (int32_t i = 0; i < 7; ++i) EXPECT_STREQ(expected[i], storagePath(i));
  for (int32_t index : {-1, 7, 83886080, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(nullptr, storagePath(index)) << index;
  }
}

}  // namespace
