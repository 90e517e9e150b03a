// Builds schedule files for tests, line by line, knowing each line's byte
// offset; and the index lines that epgindex is expected to write for them.
// The one place that writes these formats for tests.
#ifndef QUARN_TESTING_SCHEDULE_BUILDER_H
#define QUARN_TESTING_SCHEDULE_BUILDER_H

#include <stdint.h>

#include <string>

class ScheduleBuilder {
 public:
  // Every line but raw() ends with lineEnd ("\r\n" gives a CRLF file).
  explicit ScheduleBuilder(const std::string& lineEnd = "\n");

  ScheduleBuilder& line(const std::string& text);              // text, line end
  ScheduleBuilder& tagged(char tag, const std::string& text);  // tag, space, text, line end
  ScheduleBuilder& raw(const std::string& bytes);              // bytes as given

  // "C id name": a channel.
  ScheduleBuilder& channel(const std::string& name, const std::string& id = "1");
  // "E id start seconds": an event; empty fields are left out with their space.
  ScheduleBuilder& event(const std::string& start, const std::string& seconds = "",
                         const std::string& id = "1");
  ScheduleBuilder& title(const std::string& text) { return tagged('T', text); }
  ScheduleBuilder& shortText(const std::string& text) { return tagged('S', text); }
  ScheduleBuilder& description(const std::string& text) { return tagged('D', text); }
  ScheduleBuilder& start(const std::string& text) { return tagged('X', text); }
  ScheduleBuilder& length(const std::string& text) { return tagged('L', text); }
  ScheduleBuilder& endEvent() { return line("e"); }
  ScheduleBuilder& endChannel() { return line("c"); }

  // Stores the offset at which the next line starts.
  ScheduleBuilder& mark(int64_t* offset);
  int64_t offset() const { return static_cast<int64_t>(bytes_.size()); }

  const std::string& bytes() const { return bytes_; }
  void write(const std::string& path) const;

 private:
  std::string lineEnd_;
  std::string bytes_;
};

// A whole small schedule: channel Alpha with one complete event, News.
std::string smallSchedule();

// One line of the channel index: name, event count, events offset.
std::string channelEntry(const std::string& name, int64_t eventCount, int64_t eventsOffset);

// One line of the event index: title, short text, start, seconds, description offset.
std::string eventEntry(const std::string& title, const std::string& shortText, int64_t start,
                       int64_t seconds, int64_t descriptionOffset);

#endif
