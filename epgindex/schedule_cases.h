// Schedule files and the index files epgindex must write for them, shared by
// the tests of the reader (fed from memory) and of the program (on files).
#ifndef QUARN_EPGINDEX_SCHEDULE_CASES_H
#define QUARN_EPGINDEX_SCHEDULE_CASES_H

#include <ostream>
#include <string>
#include <vector>

struct ScheduleCase {
  std::string name;
  std::string schedule;
  std::string channelIndex;
  std::string eventIndex;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const ScheduleCase& c, std::ostream* os);

std::vector<ScheduleCase> scheduleCases();

#endif
