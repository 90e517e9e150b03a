#include "inputs/input_list.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <memory>
#include <new>
#include <ostream>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "testing/inputs_builder.h"
#include "testing/run_program.h"
#include "testing/case_name.h"

namespace {

// malloc, except that the second call fails.
int allocations = 0;
void* secondAllocationFails(size_t size) { return ++allocations == 2 ? nullptr : malloc(size); }

std::string describe(const InputDefinition& d) {
  return std::string(d.name) + "|" + d.code1 + "|" + d.code2 + "|" + d.code3 + "|" +
         std::to_string(d.timeOffset) + "|" + d.label + "|" + std::to_string(d.number) + "|" +
         d.prefix + "|" + d.suffix + "|" + d.source;
}

// The definitions of a list in order, walked with next.
std::vector<std::string> contents(const InputList& list) {
  std::vector<std::string> result;
  for (const InputDefinition* d = list.next(true); d != nullptr; d = list.next(false)) {
    result.push_back(describe(*d));
  }
  return result;
}

std::string lineMessage(const std::string& line) { return "Erreur erreur. " + line + ".\n"; }

// Sets TZ for the length of a test, then puts the old one back.
class LocalZone {
 public:
  explicit LocalZone(const char* zone) {
    const char* old = getenv("TZ");
    hadZone_ = old != nullptr;
    if (hadZone_) oldZone_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~LocalZone() {
    if (hadZone_) {
      setenv("TZ", oldZone_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  bool hadZone_;
  std::string oldZone_;
};

const char kNoDst[] = "UTC0";
// Daylight-saving time from the first moment of every year to the last.
const char kDstAllYear[] = "STD0DST-1,0/0,J365/25";

class Loading : public ::testing::Test {
 protected:
  std::unique_ptr<InputList> load(const InputsBuilder& file) {
    FILE* stream = file.open();
    std::unique_ptr<InputList> list(new InputList(stream, messages_.stream()));
    fclose(stream);
    return list;
  }
  std::string messages() { return messages_.text(); }

  LocalZone zone_{kNoDst};
  MessageCapture messages_;
};

const InputColumns kX;
const char kXFields[] = "X|e|l|f|0|lbl|5|epg|.dat|src";
const char kYFields[] = "Y|e|l|f|0|lbl|5|epg|.dat|src";
InputColumns y() { return InputColumns().set(1, "Y"); }

// A file and what loading it gives: definitions and messages.
struct Case {
  const char* name;
  InputsBuilder file;
  std::vector<std::string> definitions;
  std::string messages;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

std::vector<Case> cases() {
  const std::string nine = "X e l f 0 lbl 5 epg .dat";
  // A definition padded with an eleventh column to an exact length.
  auto padded = [](size_t length) {
    std::string line = kX.text() + " ";
    return line + std::string(length - line.size(), 'p');
  };
  std::string long5000 = padded(5000);
  return {
      {"Empty", InputsBuilder(), {}, ""},
      {"Comments", InputsBuilder().line("#").line("#" + kX.text()).line("# word").definition(y()),
       {kYFields}, ""},
      {"HashAfterBlanksIsNoComment", InputsBuilder().line("  # word").definition(kX), {kXFields},
       lineMessage("  # word\n")},
      {"HashInsideALineIsText", InputsBuilder().definition(InputColumns().set(6, "#l")),
       {"X|e|l|f|0|#l|5|epg|.dat|src"}, ""},
      {"EmptyLineTakesTwoOutputLines", InputsBuilder().definition(kX).line("").definition(y()),
       {kXFields, kYFields}, "Erreur erreur. \n.\n"},
      {"WhitespaceLine", InputsBuilder().line(" \t "), {}, lineMessage(" \t \n")},
      {"BadLinesAreSkipped",
       InputsBuilder().line(nine).definition(kX).line("junk").definition(y()).line(nine),
       {kXFields, kYFields},
       lineMessage(nine + "\n") + lineMessage("junk\n") + lineMessage(nine + "\n")},
      {"LastLineWithoutNewline", InputsBuilder().definition(kX).raw(y().text()),
       {kXFields, kYFields}, ""},
      {"BadLastLineIsOneOutputLine", InputsBuilder().definition(kX).raw(nine), {kXFields},
       lineMessage(nine)},
      {"CrLfBadLineKeepsItsCarriageReturn", InputsBuilder().lineEnd("\r\n").line(nine), {},
       lineMessage(nine + "\r\n")},
      {"NulEndsWhatIsSeen",
       InputsBuilder().line(kX.text() + std::string("\0junk", 5)).line(std::string("Y e l\0 f", 8)),
       {kXFields}, lineMessage("Y e l")},
      {"NulFirstIsAnEmptyLine", InputsBuilder().line(std::string("\0#", 2)),
       {}, "Erreur erreur. .\n"},
      // Lines are read in pieces of 2022 bytes.
      {"Line2021ReadWhole", InputsBuilder().line(padded(2021)).definition(y()),
       {kXFields, kYFields}, ""},
      {"Line2022LeavesItsNewline", InputsBuilder().line(padded(2022)).definition(y()),
       {kXFields, kYFields}, "Erreur erreur. \n.\n"},
      {"Line2022WithoutNewline", InputsBuilder().raw(padded(2022)), {kXFields}, ""},
      {"LongLineInPieces", InputsBuilder().line(long5000),
       {kXFields},
       lineMessage(long5000.substr(2022, 2022)) + lineMessage(long5000.substr(4044) + "\n")},
      {"LongCommentGoesOnAsALine",
       InputsBuilder().line("#" + std::string(2021, 'c') + y().text()), {kYFields}, ""},
      {"PieceStartingWithHashIsAComment",
       InputsBuilder().line(padded(2022) + "#" + y().text()), {kXFields}, ""},
  };
}

class LoadingTable : public Loading, public ::testing::WithParamInterface<Case> {};

TEST_P(LoadingTable, DefinitionsAndMessages) {
  const Case& c = GetParam();
  std::unique_ptr<InputList> list = load(c.file);
  EXPECT_EQ(c.definitions, contents(*list));
  EXPECT_EQ(static_cast<int32_t>(c.definitions.size()), list->size());
  EXPECT_EQ(c.messages, messages());
}

INSTANTIATE_TEST_SUITE_P(Table, LoadingTable, ::testing::ValuesIn(cases()),
                         CaseName());

TEST_F(Loading, CrLfGivesTheSameDefinitions) {
  auto file = [](const char* end) {
    return InputsBuilder()
        .lineEnd(end)
        .line("# comment")
        .definition(kX)
        .line("Z elf-60 - 0 - - -")
        .line("Q e l f 60DST lbl 5 epg .dat src")
        .definition(y());
  };
  std::vector<std::string> lf = contents(*load(file("\n")));
  EXPECT_EQ(4u, lf.size());
  EXPECT_EQ(lf, contents(*load(file("\r\n"))));
  EXPECT_EQ("", messages());
}

TEST_F(Loading, DuplicatesFindTheFirst) {
  InputColumns a = InputColumns().set(1, "A");
  std::unique_ptr<InputList> list = load(
      InputsBuilder().definition(a.set(6, "first")).definition(kX).definition(a.set(6, "second")));
  ASSERT_NE(nullptr, list->find("A"));
  EXPECT_STREQ("first", list->find("A")->label);
  EXPECT_EQ(3, list->size());
  EXPECT_EQ((std::vector<std::string>{"A|e|l|f|0|first|5|epg|.dat|src", kXFields,
                                      "A|e|l|f|0|second|5|epg|.dat|src"}),
            contents(*list));
}

TEST_F(Loading, FindComparesWholeNamesWithCase) {
  std::unique_ptr<InputList> list = load(InputsBuilder().raw(defaultInputsText));
  ASSERT_NE(nullptr, list->find("CSAT(FR)"));
  EXPECT_STREQ("mhw-fr", list->find("CSAT(FR)")->label);
  for (const char* name : {"csat(fr)", "CSAT", "CSAT(FR) ", " CSAT(FR)", "", "Nowhere"}) {
    EXPECT_EQ(nullptr, list->find(name)) << name;
  }
  EXPECT_EQ(nullptr, list->find(nullptr));
}

TEST_F(Loading, FoundPointersStayValid) {
  std::unique_ptr<InputList> list = load(InputsBuilder().definition(kX).definition(y()));
  const InputDefinition* x = list->find("X");
  EXPECT_EQ(x, list->next(true));
  EXPECT_EQ(list->find("Y"), list->next(false));
  EXPECT_EQ(x, list->find("X"));
}

TEST_F(Loading, DstFormFollowsTheLocalZone) {
  InputsBuilder file = InputsBuilder()
                           .line("D e l f 3600DST lbl 5 epg .dat src")
                           .line("P e l f 3600 lbl 5 epg .dat src")
                           .line("M e l f 2147480048DST lbl 5 epg .dat src");
  struct Zone {
    const char* zone;
    bool dst;
    std::vector<std::string> definitions;
    std::string messages;
  } zones[] = {
      {kNoDst, false,
       {"D|e|l|f|3600|lbl|5|epg|.dat|src", "P|e|l|f|3600|lbl|5|epg|.dat|src",
        "M|e|l|f|2147480048|lbl|5|epg|.dat|src"},
       ""},
      {kDstAllYear, true,
       {"D|e|l|f|7200|lbl|5|epg|.dat|src", "P|e|l|f|3600|lbl|5|epg|.dat|src"},
       lineMessage("M e l f 2147480048DST lbl 5 epg .dat src\n")},
  };
  for (const Zone& z : zones) {
    LocalZone zone(z.zone);
    EXPECT_EQ(z.dst, isDstNow()) << z.zone;
    EXPECT_EQ(z.definitions, contents(*load(file))) << z.zone;
    EXPECT_EQ(z.messages, messages()) << z.zone;
  }
}

TEST_F(Loading, NoFileGivesOneMessageAndAnEmptyList) {
  TempDir dir;
  std::string path = dir.file("inputs.txt");
  InputList list(path.c_str(), messages_.stream());
  EXPECT_EQ("Erreur erreur. " + path + ".\n", messages());
  EXPECT_EQ(0, list.size());
  EXPECT_EQ(nullptr, list.next(true));
  EXPECT_EQ(nullptr, list.next(false));
  EXPECT_EQ(nullptr, list.find("X"));
  EXPECT_EQ(nullptr, list.find(""));
}

TEST_F(Loading, DirectoryInPlaceOfTheFileCannotBeOpened) {
  TempDir dir;
  std::string path = dir.file("inputs.txt");
  ASSERT_EQ(0, mkdir(path.c_str(), 0755));
  InputList list(path.c_str(), messages_.stream());
  EXPECT_EQ("Erreur erreur. " + path + ".\n", messages());
  EXPECT_EQ(0, list.size());
}

TEST_F(Loading, FileAtAPath) {
  TempDir dir;
  std::string path = dir.file("inputs.txt");
  InputsBuilder().definition(kX).line("bad").raw(y().text()).write(path);
  InputList list(path.c_str(), messages_.stream());
  EXPECT_EQ((std::vector<std::string>{kXFields, kYFields}), contents(list));
  EXPECT_EQ(lineMessage("bad\n"), messages());
}

TEST_F(Loading, FailedAllocationKeepsWhatWasLoaded) {
  InputsBuilder file = InputsBuilder().definition(kX).line("bad").definition(y()).definition(kX);
  FILE* stream = file.open();
  allocations = 0;
  InputList list(stream, messages_.stream(), secondAllocationFails);
  fclose(stream);
  EXPECT_EQ(2, allocations);
  EXPECT_EQ(std::vector<std::string>{kXFields}, contents(list));
  EXPECT_EQ(lineMessage("bad\n") + "Erreur erreur. out of memory.\n", messages());
}

// A stream over bytes whose reads fail with EIO once `after` of them were read.
struct FailingBytes {
  std::string bytes;
  size_t after;
  size_t at = 0;
};

ssize_t failingRead(void* cookie, char* buffer, size_t size) {
  FailingBytes* f = static_cast<FailingBytes*>(cookie);
  if (f->at >= f->after) {
    errno = EIO;
    return -1;
  }
  size_t n = std::min(size, std::min(f->after, f->bytes.size()) - f->at);
  memcpy(buffer, f->bytes.data() + f->at, n);
  f->at += n;
  return static_cast<ssize_t>(n);
}

TEST_F(Loading, ReadErrorKeepsTheLinesBeforeIt) {
  const std::string file = InputsBuilder().definition(kX).definition(y()).bytes();
  const size_t secondLine = kX.text().size() + 1;
  struct {
    size_t after;
    std::vector<std::string> definitions;
  } cases[] = {
      {0, {}},
      {secondLine, {kXFields}},
      // The line the error cuts short would read as a definition of source "s".
      {file.size() - 3, {kXFields}},
  };
  for (const auto& c : cases) {
    FailingBytes bytes{file, c.after};
    FILE* stream = fopencookie(&bytes, "r", {failingRead, nullptr, nullptr, nullptr});
    ASSERT_NE(nullptr, stream);
    MessageCapture messages;
    InputList list(stream, messages.stream());
    fclose(stream);
    EXPECT_EQ(c.definitions, contents(list)) << c.after;
    EXPECT_EQ("Erreur erreur. Input/output error.\n", messages.text()) << c.after;
  }
}

// The one traversal cursor of the process.
TEST_F(Loading, TraversalCursor) {
  std::unique_ptr<InputList> a = load(InputsBuilder().definition(kX).definition(y()));
  std::unique_ptr<InputList> b = load(InputsBuilder().definition(InputColumns().set(1, "B")));
  std::unique_ptr<InputList> empty = load(InputsBuilder());

  EXPECT_EQ(nullptr, a->next(false)) << "no restart yet";
  EXPECT_STREQ("X", a->next(true)->name);
  EXPECT_EQ(nullptr, b->next(false)) << "the cursor is a's";
  EXPECT_STREQ("Y", a->next(false)->name);
  EXPECT_EQ(nullptr, a->next(false));
  EXPECT_EQ(nullptr, a->next(false)) << "stays at the end";

  EXPECT_STREQ("X", a->next(true)->name);
  EXPECT_STREQ("B", b->next(true)->name) << "a restart takes the cursor over";
  EXPECT_EQ(nullptr, a->next(false));
  EXPECT_EQ(nullptr, b->next(false));

  EXPECT_STREQ("X", a->next(true)->name);
  EXPECT_EQ(nullptr, empty->next(true));
  EXPECT_EQ(nullptr, a->next(false)) << "the cursor is at the empty list's end";
  EXPECT_EQ(nullptr, empty->next(false));
}

TEST_F(Loading, DestroyedListTakesItsCursorAlong) {
  // A new list in the same place must not walk the old list's freed nodes.
  alignas(InputList) unsigned char place[sizeof(InputList)];
  FILE* first = InputsBuilder().definition(kX).definition(y()).open();
  InputList* list = new (place) InputList(first, messages_.stream());
  EXPECT_STREQ("X", list->next(true)->name);
  list->~InputList();
  FILE* second = InputsBuilder().definition(kX).open();
  list = new (place) InputList(second, messages_.stream());
  EXPECT_EQ(nullptr, list->next(false));
  EXPECT_STREQ("X", list->next(true)->name);
  list->~InputList();
  fclose(first);
  fclose(second);
}

TEST(ErrorReporting, MessageFormat) {
  MessageCapture messages;
  const int32_t codes[] = {ERR_INPUTS_CREATE, ERR_INPUTS_OPEN, ERR_INPUTS_LINE, 0, -1};
  for (int32_t code : codes) {
    EXPECT_STREQ("erreur", errorText(code));
  }
  reportErrorTo(messages.stream(), errorText(ERR_INPUTS_LINE), "a b");
  reportErrorTo(messages.stream(), "t", "");
  EXPECT_EQ("Erreur erreur. a b.\nErreur t. .\n", messages.text());
}

}  // namespace
