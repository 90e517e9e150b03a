// conf.bin reader on any bytes. The first byte picks the layout (odd: older),
// the rest is the file. Checks what the image and the status must be.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "settings/settings_store.h"

namespace {

// What the image holds before the read; it must survive where no byte reaches.
constexpr uint8_t kBefore = 0xA5;
constexpr size_t kChecksumInB = 68;

void check(bool ok, const char* what) {
  if (ok) return;
  fprintf(stderr, "conf_fuzz: invariant broken: %s\n", what);
  abort();
}

uint32_t bigEndian(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | static_cast<uint32_t>(p[3]);
}

// storagePath must answer within its table for every index.
void checkPath(int32_t index) {
  const char* path = storagePath(index);
  check((path != nullptr) == (index >= 0 && index < static_cast<int32_t>(STORAGE_LOCATIONS)),
        "storagePath is null exactly outside 0 to 6");
  if (path != nullptr) check(path[0] == '/' && strlen(path) < 32, "a storage path is a path");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const SettingsLayout layout = (data[0] & 1) != 0 ? LAYOUT_OLDER : LAYOUT_CURRENT;
  const uint8_t* bytes = data + 1;
  const size_t length = size - 1;
  const size_t a = sectionASize(layout);
  const size_t n = settingsFileSize(layout);
  const size_t sumAt = a + kChecksumInB;

  static SettingsImage image;
  memset(&image, kBefore, sizeof image);
  const SettingsStatus status = readSettings(bytes, length, layout, &image);

  // The image laid out as the file is: SectionA of this layout, B, C.
  static uint8_t seen[sizeof(SettingsImage)];
  memcpy(seen, image.sectionA, a);
  memcpy(seen + a, image.sectionB, SECTION_B_SIZE);
  memcpy(seen + a + SECTION_B_SIZE, image.sectionC, SECTION_C_SIZE);
  for (size_t i = a; i < SECTION_A_CURRENT; ++i) {
    check(image.sectionA[i] == kBefore, "SectionA beyond the layout's length is untouched");
  }

  check(status != STATUS_NOT_FOUND, "bytes are never 'not found'");
  check((status == STATUS_CORRUPT_SIZE) == (length < n), "size status exactly for short input");
  if (status == STATUS_CORRUPT_SIZE) {
    for (size_t i = 0; i < n; ++i) {
      check(seen[i] == (i < length ? bytes[i] : kBefore), "a short file fills what it reaches");
    }
  } else {
    uint32_t sum = 0;
    for (size_t i = 0; i < n; ++i) {
      const bool inChecksum = i >= sumAt && i < sumAt + 4;
      if (!inChecksum) sum += bytes[i];
      check(seen[i] == (inChecksum ? 0 : bytes[i]), "the image is the file, checksum zeroed");
    }
    check(storedChecksum(image) == 0, "the checksum field stays 0");
    check((status == STATUS_OK) == (bigEndian(bytes + sumAt) == sum),
          "OK exactly when the stored sum is the byte sum");
    check(settingsChecksum(&image, layout) == sum, "settingsChecksum is the byte sum");
  }

  checkPath(storageIndex(image));
  if (length >= 8) checkPath(static_cast<int32_t>(bigEndian(bytes + 4)));
  for (size_t slot = 0; slot <= INPUT_SLOTS; ++slot) {
    InputSlot s = inputSlot(image, slot);
    check(memchr(s.inputName, '\0', sizeof s.inputName) != nullptr, "slot names end in NUL");
    if (slot == INPUT_SLOTS) check(s.inputName[0] == '\0' && s.enabled == 0, "no sixth slot");
  }
  return 0;
}
