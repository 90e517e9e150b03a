#include "testing/schedule_builder.h"

#include "testing/conf_builder.h"

ScheduleBuilder::ScheduleBuilder(const std::string& lineEnd) : lineEnd_(lineEnd) {}

ScheduleBuilder& ScheduleBuilder::line(const std::string& text) {
  bytes_ += text + lineEnd_;
  return *this;
}

ScheduleBuilder& ScheduleBuilder::tagged(char tag, const std::string& text) {
  return line(std::string(1, tag) + " " + text);
}

ScheduleBuilder& ScheduleBuilder::raw(const std::string& bytes) {
  bytes_ += bytes;
  return *this;
}

ScheduleBuilder& ScheduleBuilder::channel(const std::string& name, const std::string& id) {
  return tagged('C', id + " " + name);
}

ScheduleBuilder& ScheduleBuilder::event(const std::string& start, const std::string& seconds,
                                        const std::string& id) {
  std::string text = id;
  if (!start.empty()) text += " " + start;
  if (!seconds.empty()) text += " " + seconds;
  return tagged('E', text);
}

ScheduleBuilder& ScheduleBuilder::mark(int64_t* offset) {
  *offset = this->offset();
  return *this;
}

void ScheduleBuilder::write(const std::string& path) const { writeFile(path, bytes_); }

std::string channelEntry(const std::string& name, int64_t eventCount, int64_t eventsOffset) {
  return name + "\f" + std::to_string(eventCount) + "\f" + std::to_string(eventsOffset) + "\n";
}

std::string eventEntry(const std::string& title, const std::string& shortText, int64_t start,
                       int64_t seconds, int64_t descriptionOffset) {
  return title + "\f" + shortText + "\f" + std::to_string(start) + "\f" + std::to_string(seconds) +
         "\f" + std::to_string(descriptionOffset) + "\n";
}

std::string smallSchedule() {
  return ScheduleBuilder()
      .channel("Alpha")
      .event("100", "600")
      .title("News")
      .endEvent()
      .endChannel()
      .bytes();
}
