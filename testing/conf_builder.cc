#include "testing/conf_builder.h"

#include <stdio.h>
#include <stdlib.h>

namespace {

size_t fileLength(SettingsLayout layout) { return layout == LAYOUT_OLDER ? 2164 : 2200; }

}  // namespace

ConfBuilder::ConfBuilder(SettingsLayout layout)
    : layout_(layout), data_(fileLength(layout), '\0'), length_(fileLength(layout)) {}

ConfBuilder& ConfBuilder::storageIndex(int32_t value) { return u32(0, static_cast<uint32_t>(value)); }

ConfBuilder& ConfBuilder::slot(size_t index, const std::string& name, int32_t enabled) {
  size_t start = 8 + 36 * index;
  for (size_t i = 0; i < 32; ++i) data_[start + i] = i < name.size() ? name[i] : '\0';
  return u32(start + 32, static_cast<uint32_t>(enabled));
}

ConfBuilder& ConfBuilder::u32(size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) data_.at(offset + i) = static_cast<char>(value >> (24 - 8 * i));
  return *this;
}

ConfBuilder& ConfBuilder::byte(size_t offset, uint8_t value) {
  data_.at(offset) = static_cast<char>(value);
  return *this;
}

ConfBuilder& ConfBuilder::fill(uint8_t value) {
  data_.assign(data_.size(), static_cast<char>(value));
  return *this;
}

ConfBuilder& ConfBuilder::checksum(uint32_t value) {
  checksumSet_ = true;
  checksum_ = value;
  return *this;
}

ConfBuilder& ConfBuilder::truncate(size_t length) {
  length_ = length;
  return *this;
}

ConfBuilder& ConfBuilder::append(const std::string& extra) {
  extra_ += extra;
  return *this;
}

size_t ConfBuilder::checksumOffset() const { return layout_ == LAYOUT_OLDER ? 240 : 276; }

uint32_t ConfBuilder::rightChecksum() const {
  uint32_t sum = 0;
  for (size_t i = 0; i < data_.size(); ++i) {
    if (i < checksumOffset() || i >= checksumOffset() + 4) sum += static_cast<uint8_t>(data_[i]);
  }
  return sum;
}

std::string ConfBuilder::bytes() const {
  ConfBuilder copy = *this;
  copy.u32(checksumOffset(), checksumSet_ ? checksum_ : rightChecksum());
  std::string result = copy.data_ + extra_;
  if (length_ < data_.size()) result.resize(length_);
  return result;
}

void ConfBuilder::write(const std::string& path) const { writeFile(path, bytes()); }

void writeFile(const std::string& path, const std::string& bytes) {
  FILE* file = fopen(path.c_str(), "wb");
  if (file == nullptr || fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() ||
      fclose(file) != 0) {
    fprintf(stderr, "test fixture: cannot write %s\n", path.c_str());
    abort();
  }
}

std::string readFile(const std::string& path) {
  std::string result;
  FILE* file = fopen(path.c_str(), "rb");
  if (file == nullptr) return result;
  char buffer[65536];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) result.append(buffer, n);
  fclose(file);
  return result;
}
