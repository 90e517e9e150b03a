#include "settings/settings_store.h"

#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

#ifndef QUARN_CONFIG_DIR
#error "QUARN_CONFIG_DIR must name the configuration directory"
#endif

SettingsImage settingsImage;

namespace {

// The checksum sits at the end of SectionB in both layouts.
constexpr size_t kChecksumInB = 68;

const char* const kStorageLocations[STORAGE_LOCATIONS] = {
    "/var/mnt/usb/quarn", "/mnt/usb/quarn",           "/var/mnt/cf/quarn", "/mnt/cf/quarn",
    "/hdd/quarn",         "/var/tuxbox/config/quarn", "/var/tmp/quarn",
};

uint32_t readBigEndian(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | static_cast<uint32_t>(p[3]);
}

// Copies what of the input reaches one section; returns true when it filled it.
bool fillSection(uint8_t* section, size_t size, const uint8_t** bytes, size_t* left) {
  size_t n = *left < size ? *left : size;
  if (n > 0) memcpy(section, *bytes, n);
  *bytes += n;
  *left -= n;
  return n == size;
}

uint32_t byteSum(const uint8_t* p, size_t n) {
  uint32_t sum = 0;
  for (size_t i = 0; i < n; ++i) sum += p[i];
  return sum;
}

}  // namespace

size_t sectionASize(SettingsLayout layout) {
  return layout == LAYOUT_OLDER ? SECTION_A_OLDER : SECTION_A_CURRENT;
}

size_t settingsFileSize(SettingsLayout layout) {
  return sectionASize(layout) + SECTION_B_SIZE + SECTION_C_SIZE;
}

const char* settingsPath() { return QUARN_CONFIG_DIR "/conf.bin"; }

SettingsStatus readSettings(const uint8_t* bytes, size_t length, SettingsLayout layout,
                            SettingsImage* image) {
  bool whole = fillSection(image->sectionA, sectionASize(layout), &bytes, &length);
  whole = fillSection(image->sectionB, SECTION_B_SIZE, &bytes, &length) && whole;
  whole = fillSection(image->sectionC, SECTION_C_SIZE, &bytes, &length) && whole;
  if (!whole) return STATUS_CORRUPT_SIZE;
  uint32_t stored = storedChecksum(*image);
  return stored == settingsChecksum(image, layout) ? STATUS_OK : STATUS_CORRUPT_CHECKSUM;
}

uint32_t settingsChecksum(SettingsImage* image, SettingsLayout layout) {
  memset(image->sectionB + kChecksumInB, 0, 4);
  return byteSum(image->sectionB, SECTION_B_SIZE) + byteSum(image->sectionC, SECTION_C_SIZE) +
         byteSum(image->sectionA, sectionASize(layout));
}

const char* settingsMessage(SettingsStatus status) {
  switch (status) {
    case STATUS_NOT_FOUND:
      return "%s: not found\n";
    case STATUS_CORRUPT_SIZE:
      return "%s: corrupt (size)\n";
    case STATUS_CORRUPT_CHECKSUM:
      return "%s: corrupt (checksum)\n";
    case STATUS_READ_ERROR:
      return "%s: read error\n";
    case STATUS_OK:
      break;
  }
  return nullptr;
}

int loadSettings(SettingsLayout layout) {
  const char* path = settingsPath();
  SettingsStatus status = STATUS_NOT_FOUND;
  FILE* file = fopen(path, "rb");
  struct stat info;
  // A directory opens but cannot be read: it is no settings file at all.
  if (file != nullptr && fstat(fileno(file), &info) == 0 && !S_ISDIR(info.st_mode)) {
    uint8_t bytes[SECTION_A_CURRENT + SECTION_B_SIZE + SECTION_C_SIZE];
    size_t length = fread(bytes, 1, settingsFileSize(layout), file);
    status = readSettings(bytes, length, layout, &settingsImage);
    // A short count from a failing medium is no short file: say which it was.
    if (ferror(file) != 0) status = STATUS_READ_ERROR;
  }
  if (file != nullptr) fclose(file);
  if (status == STATUS_OK) return SETTINGS_OK;
  fprintf(stderr, settingsMessage(status), path);
  return status == STATUS_NOT_FOUND ? SETTINGS_NOT_FOUND : SETTINGS_CORRUPT;
}

int32_t storageIndex(const SettingsImage& image) {
  return static_cast<int32_t>(readBigEndian(image.sectionA));
}

uint32_t storedChecksum(const SettingsImage& image) {
  return readBigEndian(image.sectionB + kChecksumInB);
}

InputSlot inputSlot(const SettingsImage& image, size_t slot) {
  InputSlot result{};
  if (slot >= INPUT_SLOTS) return result;
  const uint8_t* p = image.sectionA + 8 + 36 * slot;
  memcpy(result.inputName, p, INPUT_NAME_SIZE);  // the extra byte stays NUL
  result.enabled = static_cast<int32_t>(readBigEndian(p + INPUT_NAME_SIZE));
  return result;
}

const char* storagePath(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(STORAGE_LOCATIONS)) return nullptr;
  return kStorageLocations[index];
}
