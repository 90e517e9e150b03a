#include "testing/inputs_builder.h"

#include <stdlib.h>

#include "testing/conf_builder.h"

InputColumns& InputColumns::set(size_t column, const std::string& text) {
  if (column < 1 || column > 10) abort();  // a mistake in the test itself
  columns_[column - 1] = text;
  return *this;
}

std::string InputColumns::text(const std::string& blank) const {
  std::string result = columns_[0];
  for (size_t i = 1; i < 10; ++i) result += blank + columns_[i];
  return result;
}

InputsBuilder& InputsBuilder::lineEnd(const std::string& end) {
  lineEnd_ = end;
  return *this;
}

InputsBuilder& InputsBuilder::line(const std::string& text) { return raw(text + lineEnd_); }

InputsBuilder& InputsBuilder::definition(const InputColumns& columns) {
  return line(columns.text());
}

InputsBuilder& InputsBuilder::raw(const std::string& bytes) {
  bytes_ += bytes;
  return *this;
}

void InputsBuilder::write(const std::string& path) const { writeFile(path, bytes_); }

FILE* InputsBuilder::open() const {
  FILE* file = tmpfile();
  if (file == nullptr || fwrite(bytes_.data(), 1, bytes_.size(), file) != bytes_.size() ||
      fseek(file, 0, SEEK_SET) != 0) {
    perror("test fixture: temporary inputs file");
    abort();
  }
  return file;
}

MessageCapture::MessageCapture() : stream_(open_memstream(&buffer_, &size_)) {
  if (stream_ == nullptr) {
    perror("test fixture: message stream");
    abort();
  }
}

MessageCapture::~MessageCapture() {
  fclose(stream_);
  free(buffer_);
}

std::string MessageCapture::text() {
  fflush(stream_);
  return std::string(buffer_, size_);
}
