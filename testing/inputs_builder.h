// Builds inputs.txt files for tests: definition lines with any text in any
// column, comments and raw bytes, "\n" or "\r\n" line ends. The one place that
// writes the format. Also collects what the code under test reports.
#ifndef QUARN_TESTING_INPUTS_BUILDER_H
#define QUARN_TESTING_INPUTS_BUILDER_H

#include <stddef.h>
#include <stdio.h>

#include <string>

// The ten columns of a definition line, numbered 1 to 10 as in the format;
// by default "X e l f 0 lbl 5 epg .dat src".
class InputColumns {
 public:
  InputColumns& set(size_t column, const std::string& text);
  // The columns joined by `blank`, without a line end.
  std::string text(const std::string& blank = " ") const;

 private:
  std::string columns_[10] = {"X", "e", "l", "f", "0", "lbl", "5", "epg", ".dat", "src"};
};

class InputsBuilder {
 public:
  // The line end of the lines added after this call; "\n" at first.
  InputsBuilder& lineEnd(const std::string& end);
  InputsBuilder& line(const std::string& text);
  InputsBuilder& definition(const InputColumns& columns);
  // Bytes as given, no line end added: a last line without "\n", say.
  InputsBuilder& raw(const std::string& bytes);

  const std::string& bytes() const { return bytes_; }
  void write(const std::string& path) const;
  // A temporary file holding the bytes, positioned at its start; fclose it.
  FILE* open() const;

 private:
  std::string lineEnd_ = "\n";
  std::string bytes_;
};

// A stream for messages; text() is all that was written to it so far.
class MessageCapture {
 public:
  MessageCapture();
  ~MessageCapture();
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  FILE* stream() const { return stream_; }
  std::string text();

 private:
  char* buffer_ = nullptr;
  size_t size_ = 0;
  FILE* stream_;
};

#endif
