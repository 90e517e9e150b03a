// Builds conf.bin files for tests: either layout, any field, a right or wrong
// checksum, cut short or extended. The one place that knows how to write them.
#ifndef QUARN_TESTING_CONF_BUILDER_H
#define QUARN_TESTING_CONF_BUILDER_H

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "settings/settings_store.h"

class ConfBuilder {
 public:
  explicit ConfBuilder(SettingsLayout layout = LAYOUT_CURRENT);

  ConfBuilder& storageIndex(int32_t value);
  // Slot name bytes are written as given, up to the 32-byte field.
  ConfBuilder& slot(size_t index, const std::string& name, int32_t enabled);
  ConfBuilder& u32(size_t offset, uint32_t value);  // big-endian, at a file offset
  ConfBuilder& byte(size_t offset, uint8_t value);
  ConfBuilder& fill(uint8_t value);                 // every byte but the checksum
  ConfBuilder& checksum(uint32_t value);            // stored instead of the right sum
  ConfBuilder& truncate(size_t length);             // cut the file to this length
  ConfBuilder& append(const std::string& extra);    // bytes after the last section

  size_t checksumOffset() const;
  uint32_t rightChecksum() const;
  std::string bytes() const;
  void write(const std::string& path) const;

 private:
  SettingsLayout layout_;
  std::string data_;
  bool checksumSet_ = false;
  uint32_t checksum_ = 0;
  size_t length_;
  std::string extra_;
};

// Writes bytes to a file, replacing it; aborts the test run when it cannot.
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);

#endif
