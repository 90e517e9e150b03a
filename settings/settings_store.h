// The add-on's binary settings file, conf.bin, in its two layouts.
#ifndef QUARN_SETTINGS_SETTINGS_STORE_H
#define QUARN_SETTINGS_SETTINGS_STORE_H

#include <stddef.h>
#include <stdint.h>

// The two layouts differ only in the length of SectionA.
enum SettingsLayout : uint8_t { LAYOUT_CURRENT, LAYOUT_OLDER };

enum : size_t {
  SECTION_A_CURRENT = 208,
  SECTION_A_OLDER = 172,
  SECTION_B_SIZE = 72,
  SECTION_C_RECORD = 192,
  SECTION_C_RECORDS = 10,
  SECTION_C_SIZE = SECTION_C_RECORD * SECTION_C_RECORDS,
  INPUT_SLOTS = 5,
  INPUT_NAME_SIZE = 32,
  STORAGE_LOCATIONS = 7,
};

// Results of loadSettings, as the programs see them.
enum : int { SETTINGS_OK = 0, SETTINGS_NOT_FOUND = 1, SETTINGS_CORRUPT = 2 };

// Why a load failed; each cause has its own message.
enum SettingsStatus : uint8_t {
  STATUS_OK,
  STATUS_NOT_FOUND,
  STATUS_CORRUPT_SIZE,
  STATUS_CORRUPT_CHECKSUM,
  STATUS_READ_ERROR,  // the file opened but reading it failed midway
};

// The file's three sections byte for byte; SectionA is sized for the longer
// layout, the older layout uses its first 172 bytes.
struct SettingsImage {
  uint8_t sectionA[SECTION_A_CURRENT];
  uint8_t sectionB[SECTION_B_SIZE];
  uint8_t sectionC[SECTION_C_SIZE];
};

// One input slot of the current layout, its name always NUL-terminated.
struct InputSlot {
  char inputName[INPUT_NAME_SIZE + 1];
  int32_t enabled;
};

// The program's one image, all zero until loadSettings fills it.
extern SettingsImage settingsImage;

size_t sectionASize(SettingsLayout layout);
size_t settingsFileSize(SettingsLayout layout);
const char* settingsPath();

// Fills the image from the bytes of a file as the section reads would: each
// section takes what reaches it, the rest keeps its content. Never prints.
SettingsStatus readSettings(const uint8_t* bytes, size_t length, SettingsLayout layout,
                            SettingsImage* image);

// Sets the image's checksum field to 0 and returns the byte sum of its sections.
uint32_t settingsChecksum(SettingsImage* image, SettingsLayout layout);

// Loads the fixed path into settingsImage, reports a failure on standard
// error and returns SETTINGS_OK, SETTINGS_NOT_FOUND or SETTINGS_CORRUPT (a
// read error too: what was read is in the image, but the file is not whole).
int loadSettings(SettingsLayout layout);

// Message format for a status, with one %s for the path; null for STATUS_OK.
const char* settingsMessage(SettingsStatus status);

int32_t storageIndex(const SettingsImage& image);
uint32_t storedChecksum(const SettingsImage& image);
InputSlot inputSlot(const SettingsImage& image, size_t slot);

// The storage directory at an index, or null outside 0 to 6.
const char* storagePath(int32_t index);

#endif
