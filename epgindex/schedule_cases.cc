#include "epgindex/schedule_cases.h"

#include <stdint.h>

#include "epgindex/index_job.h"
#include "testing/schedule_builder.h"

namespace {

using S = ScheduleBuilder;

std::string rep(char c, size_t n) { return std::string(n, c); }
std::string num(int64_t n) { return std::to_string(n); }
const std::string kNul(1, '\0');

ScheduleCase workedExample() {
  return {"WorkedExample",
          "C 1 Alpha\nE 11 100 330\nT News\nD Long text\ne\nE 12 700 600\nS Only short\ne\nc\n"
          "C 2 Beta\nE 21 800 360\nT Film\nL 15\ne\nc\n",
          "Alpha\f2\f0\nBeta\f1\f17\n", "News\f\f100\f300\f30\nFilm\f\f800\f900\f-1\n"};
}

ScheduleCase crlfFile() {
  // "e\r" and "c\r" lines are ignored, so the first event stays open through
  // the restarts and hands its description offset on; only the LF lines at
  // the end close anything.
  int64_t d;
  S s("\r\n");
  s.channel("Alpha").event("100", "330", "11").title("News").mark(&d).description("Long text");
  s.endEvent().event("700", "600", "12").shortText("Only short").endEvent().endChannel();
  s.channel("Beta", "2").event("800", "360", "21").title("Film").length("15").endEvent();
  s.endChannel().raw("e\nc\n");
  return {"CrlfFile", s.bytes(), channelEntry("Beta\r", 1, 0),
          eventEntry("Film\r", "", 800, 900, d)};
}

ScheduleCase lastLineCWithoutLineFeed() {
  S s;
  s.channel("A").event("100", "600").title("t").endEvent().raw("c");
  return {"LastLineCWithoutLineFeed", s.bytes(), channelEntry("A", 1, 0),
          eventEntry("t", "", 100, 600, -1)};
}

ScheduleCase twoCLinesInARow() {
  S s;
  s.channel("A").event("100", "600").title("t").endEvent().endChannel().endChannel();
  std::string events = eventEntry("t", "", 100, 600, -1);
  return {"TwoCLinesInARow", s.bytes(),
          channelEntry("A", 1, 0) + channelEntry("A", 0, static_cast<int64_t>(events.size())),
          events};
}

ScheduleCase lastBlockWithoutC() {
  S s;
  s.channel("A").event("100", "600").title("a").endEvent().endChannel();
  s.channel("B", "2").event("200", "1200").title("b").endEvent();
  return {"LastBlockWithoutC", s.bytes(), channelEntry("A", 1, 0),
          eventEntry("a", "", 100, 600, -1) + eventEntry("b", "", 200, 1200, -1)};
}

ScheduleCase noCLineAtAll() {
  S s;
  s.channel("A").event("100", "600").title("a").endEvent();
  return {"NoCLineAtAll", s.bytes(), "", eventEntry("a", "", 100, 600, -1)};
}

ScheduleCase beforeAnyChannel() {
  // Before a "C" line no event opens, but "e" counts and "c" writes an
  // empty name; a "C" line without a space lets events open, name unchanged.
  S s;
  s.endChannel().event("100", "600").title("t").start("5").length("5").endEvent().endChannel();
  s.tagged('C', "OnlyWord").event("100", "600").title("u").endEvent().endChannel();
  return {"BeforeAnyChannel", s.bytes(),
          channelEntry("", 0, 0) + channelEntry("", 1, 0) + channelEntry("", 1, 0),
          eventEntry("u", "", 100, 600, -1)};
}

ScheduleCase ignoredLineBeforeD() {
  int64_t ignored;
  S s;
  s.channel("A").event("100", "600").title("t").mark(&ignored);
  s.line("Tx not a title").line("Dx nor a description").description("Long text").endEvent();
  s.endChannel();
  return {"IgnoredLineBeforeD", s.bytes(), channelEntry("A", 1, 0),
          eventEntry("t", "", 100, 600, ignored)};
}

ScheduleCase descriptionOutsideEvent() {
  // A "D" line with no event open is no description of the next event.
  int64_t d;
  S s;
  s.channel("A").event("100", "600").title("a").mark(&d).description("first").endEvent();
  s.description("between events").event("200", "600").title("b").endEvent().endChannel();
  return {"DescriptionOutsideEvent", s.bytes(), channelEntry("A", 2, 0),
          eventEntry("a", "", 100, 600, d) + eventEntry("b", "", 200, 600, -1)};
}

ScheduleCase incompleteEvents() {
  S s;
  s.channel("A");
  s.event("100", "600").endEvent();                                // no title
  s.event("100", "600").title("").endEvent();                      // empty title
  s.event("100", "600").line("T").endEvent();                      // empty title, no space
  s.event("100").title("t").endEvent();                            // no duration
  s.event("").title("t").length("5").endEvent();                   // no start
  s.endEvent();                                                    // no event open
  s.event("100", "600").title("t").description("d").endChannel();  // still open at the end
  return {"IncompleteEvents", s.bytes(), channelEntry("A", 6, 0), ""};
}

ScheduleCase restartedEvents() {
  int64_t d1, d3;
  S s;
  s.channel("A");
  // An "E" line restarts the open event: short text emptied, description offset handed on.
  s.event("100", "600").title("first").mark(&d1).description("one").shortText("dropped");
  s.event("200", "1200").title("second").endEvent();
  // Its own "D" line wins over the handed-on one; the last "D" counts.
  s.event("300", "60").description("two").event("400", "120").description("three");
  s.mark(&d3).description("four").title("third").endEvent();
  // The title stays but is no longer set.
  s.event("500", "60").title("fourth").event("600", "60").endEvent().endChannel();
  return {"RestartedEvents", s.bytes(), channelEntry("A", 3, 0),
          eventEntry("second", "", 200, 1200, d1) + eventEntry("third", "", 400, 120, d3)};
}

ScheduleCase cInsideEvent() {
  // "c" leaves the event open with its flags cleared; its "e" counts toward the next block.
  int64_t d;
  S s;
  s.channel("A").event("100", "600").title("t").endChannel().endEvent().endChannel();
  s.channel("B", "2").event("200", "600").mark(&d).description("kept").title("u").endChannel();
  s.title("v").start("300").length("2").endEvent().endChannel();
  // Each of title, start and length must come again after the "c" line.
  s.event("1", "60").title("w").endChannel().start("5").length("1").endEvent();
  s.event("1", "60").title("w").endChannel().title("x").length("1").endEvent();
  s.event("1", "60").title("w").endChannel().title("y").start("5").endEvent().endChannel();
  std::string events = eventEntry("v", "", 300, 120, d);
  int64_t length = static_cast<int64_t>(events.size());
  return {"CInsideEvent", s.bytes(),
          channelEntry("A", 0, 0) + channelEntry("A", 1, 0) + channelEntry("B", 0, 0) +
              channelEntry("B", 1, 0) + channelEntry("B", 0, length) +
              channelEntry("B", 1, length) + channelEntry("B", 1, length) +
              channelEntry("B", 1, length),
          events};
}

ScheduleCase channelNames() {
  std::string name30 = "N" + rep('3', 29);
  std::string name40 = "M" + rep('4', 39);
  std::string cut40 = name40.substr(0, 30);
  std::string name29cr = rep('x', 29) + "\r";
  S s;
  s.channel(name30).endChannel().channel(name40).endChannel();
  s.tagged('C', "OnlyWord").endChannel();  // keeps the previous name
  s.tagged('C', "1  Spaced").endChannel();
  s.tagged('C', "1\tTab Name").endChannel();  // a tab separates nothing
  s.tagged('C', "1 ").endChannel();
  s.channel(name29cr).endChannel();
  return {"ChannelNames", s.bytes(),
          channelEntry(name30, 0, 0) + channelEntry(cut40, 0, 0) + channelEntry(cut40, 0, 0) +
              channelEntry(" Spaced", 0, 0) + channelEntry("Name", 0, 0) + channelEntry("", 0, 0) +
              channelEntry(name29cr, 0, 0),
          ""};
}

ScheduleCase titles() {
  std::string t99 = rep('a', 99), t100 = rep('b', 100), t120 = rep('c', 100) + rep('d', 20);
  S s;
  s.channel("A");
  s.event("1", "60").title(t99).endEvent();
  s.event("2", "60").title(t100).endEvent();
  s.event("3", "60").title(t120).endEvent();
  s.event("4", "60").title("First").title("").endEvent();  // written with an empty title
  s.event("5", "60").title("First").line("T").endEvent();
  s.event("6", "60").title("form\ffeed").endEvent();
  s.event("7", "60").title(" spaced \r").endEvent();
  s.endChannel();
  return {"Titles", s.bytes(), channelEntry("A", 7, 0),
          eventEntry(t99, "", 1, 60, -1) + eventEntry(t100, "", 2, 60, -1) +
              eventEntry(t120.substr(0, 100), "", 3, 60, -1) + eventEntry("", "", 4, 60, -1) +
              eventEntry("", "", 5, 60, -1) + eventEntry("form\ffeed", "", 6, 60, -1) +
              eventEntry(" spaced \r", "", 7, 60, -1)};
}

ScheduleCase shortTexts() {
  std::string s150 = rep('s', 100) + rep('t', 50), s100 = rep('u', 100), s99 = rep('v', 99);
  S s;
  s.channel("A");
  s.event("1", "60").title("a").shortText(s150).endEvent();
  s.event("2", "60").title("b").shortText(s100).endEvent();
  s.event("3", "60").title("c").shortText(s99).endEvent();
  s.event("4", "60").title("d").shortText("old").shortText("").endEvent();
  s.event("5", "60").title("e").endEvent();
  s.endChannel();
  return {"ShortTexts", s.bytes(), channelEntry("A", 5, 0),
          eventEntry("a", s150.substr(0, 100), 1, 60, -1) + eventEntry("b", s100, 2, 60, -1) +
              eventEntry("c", s99, 3, 60, -1) + eventEntry("d", "", 4, 60, -1) +
              eventEntry("e", "", 5, 60, -1)};
}

// An ignored line of `bytes` bytes, line feed included, between a title and
// a "D" line: the description offset shows where the last accepted piece
// ended. Past 20022 bytes the line feed is a piece of its own, and accepted.
ScheduleCase longIgnoredLine(const char* name, size_t bytes, int64_t descriptionAfter) {
  int64_t ignored;
  S s;
  s.channel("A").event("1", "60").line("T " + rep('b', 20019)).mark(&ignored);
  s.line("Tx" + rep('a', bytes - 3)).description("d").endEvent().endChannel();
  return {name, s.bytes(), channelEntry("A", 1, 0),
          eventEntry(rep('b', 100), "", 1, 60, ignored + descriptionAfter)};
}

ScheduleCase secondPieceAccepted() {
  // 30000 bytes: an ignored piece of 20022, then "e ..." which closes the event.
  S s;
  s.channel("A").event("1", "60").title("t");
  s.line("Dx" + rep('d', 20020) + "e " + rep('z', 9975)).endEvent().endChannel();
  return {"Line30000SecondPieceAccepted", s.bytes(), channelEntry("A", 2, 0),
          eventEntry("t", "", 1, 60, -1)};
}

ScheduleCase secondPieceIgnored() {
  // 30000 bytes: a "D" piece of 20022, then "ex..." which is ignored.
  int64_t d;
  S s;
  s.channel("A").event("1", "60").title("t").mark(&d);
  s.line("D " + rep('d', 20020) + "ex" + rep('z', 9975)).line("Qx ignored").description("later");
  s.endEvent().endChannel();
  return {"Line30000SecondPieceIgnored", s.bytes(), channelEntry("A", 1, 0),
          eventEntry("t", "", 1, 60, d + 20022)};
}

ScheduleCase threePieces() {
  S s;
  s.channel("A").event("1", "60").title("t");
  s.line("Dx" + rep('d', 20020) + "c " + rep('y', 20020) + "T tail");
  s.start("5").length("1").endEvent().endChannel();
  return {"LineOfThreePieces", s.bytes(), channelEntry("A", 0, 0) + channelEntry("A", 1, 0),
          eventEntry("tail", "", 5, 60, -1)};
}

ScheduleCase lastLineOverLimit() {
  // No line feed at the end: the last piece is the single byte "c".
  S s;
  s.channel("A").raw("Dx" + rep('d', 20020) + "c");
  return {"LastLineOverPieceLimitWithoutLineFeed", s.bytes(), channelEntry("A", 0, 0), ""};
}

ScheduleCase numbersOnEventLines() {
  S s;
  s.channel("A");
  s.tagged('E', "1 +100 +120").title("signs").endEvent();
  s.tagged('E', "1 -90 -90").title("negative").endEvent();
  s.tagged('E', "1 abc 600").title("letters").endEvent();
  s.tagged('E', "11  530").title("two spaces").endEvent();
  s.tagged('E', "1 \t100 330").title("tab").endEvent();
  s.tagged('E', "1 100 330 more words").title("extra").endEvent();
  s.tagged('E', "1 99999999999 99999999999").title("overflow").endEvent();
  s.tagged('E', "1 -99999999999 -99999999999").title("underflow").endEvent();
  s.tagged('E', "1").title("only word").start("700").length("10").endEvent();
  s.tagged('E', "1 800").title("no duration").length("3").endEvent();
  s.tagged('E', "1 59 -59").title("under a minute").endEvent();
  s.endChannel();
  return {"NumbersOnEventLines", s.bytes(), channelEntry("A", 11, 0),
          eventEntry("signs", "", 100, 120, -1) + eventEntry("negative", "", -90, -60, -1) +
              eventEntry("letters", "", 0, 600, -1) + eventEntry("two spaces", "", 530, 480, -1) +
              eventEntry("tab", "", 100, 300, -1) + eventEntry("extra", "", 100, 300, -1) +
              eventEntry("overflow", "", 2147483647, 2147483640, -1) +
              eventEntry("underflow", "", -2147483648LL, -2147483640, -1) +
              eventEntry("only word", "", 700, 600, -1) +
              eventEntry("no duration", "", 800, 180, -1) +
              eventEntry("under a minute", "", 59, 0, -1)};
}

ScheduleCase numbersOnXAndLLines() {
  S s;
  s.channel("A");
  s.event("").title("max").start("2147483647").length("2147483647").endEvent();
  s.event("").title("min").start("-2147483648").length("-2147483648").endEvent();
  s.event("").title("beyond").start("2147483648").length("-2147483649").endEvent();
  s.event("").title("endless").start(rep('9', 5000)).length("-" + rep('9', 5000)).endEvent();
  s.event("").title("white").start(" \t\v\f\r+12x").length("\t-7").endEvent();
  s.event("").title("no digits").start("+-5").length("- 5").endEvent();
  s.event("").title("empty").line("X").line("L").endEvent();
  s.event("").title("zeros").start("000123").length("+0").endEvent();
  s.endChannel();
  const int64_t kMin = -2147483648LL;
  return {"NumbersOnXAndLLines", s.bytes(), channelEntry("A", 8, 0),
          eventEntry("max", "", 2147483647, 128849018820LL, -1) +
              eventEntry("min", "", kMin, kMin * 60, -1) +
              eventEntry("beyond", "", 2147483647, kMin * 60, -1) +
              eventEntry("endless", "", 2147483647, kMin * 60, -1) +
              eventEntry("white", "", 12, -420, -1) + eventEntry("no digits", "", 0, 0, -1) +
              eventEntry("empty", "", 0, 0, -1) + eventEntry("zeros", "", 123, 0, -1)};
}

ScheduleCase nulBytes() {
  // What is seen of a line ends at its first NUL; offsets count every byte.
  int64_t dLine, nulD;
  S s;
  s.tagged('C', "1 Al" + kNul + "pha").event("100", "600").title("ab" + kNul + "cd");
  s.raw(kNul + " tag NUL: an unlisted tag, accepted\n").mark(&dLine).description("d");
  s.shortText("sh" + kNul + "ort").raw("e" + kNul + "junk\n");  // accepted "e"
  s.raw("E 1" + kNul + " 200 600\n");                           // no fields
  s.title("x").start("12" + kNul + " 34").length("5" + kNul + "9");
  s.raw("T" + kNul + " gone\n");  // accepted, empty: the title is emptied, still set
  s.mark(&nulD).raw("D" + kNul + "\n").endEvent().raw("c" + kNul + "\n");
  return {"NulBytes", s.bytes(), channelEntry("Al", 2, 0),
          eventEntry("ab", "sh", 100, 600, dLine) + eventEntry("", "", 12, 300, nulD)};
}

// Pads with accepted "Z" lines so that the next line starts at `target`.
void padTo(S* s, int64_t target) {
  while (target - s->offset() >= 1006) s->line("Z " + rep('z', 500));
  s->line("Z " + rep('z', static_cast<size_t>(target - s->offset() - 3)));
}

ScheduleCase readBlockEdges() {
  const int64_t edge = READ_BLOCK_SIZE;
  int64_t d1, d2;
  S s;
  s.channel("A").event("1", "60");
  padTo(&s, edge - 50);
  s.title(rep('q', 300)).mark(&d1).description("short").endEvent();  // title across edge 1
  s.event("2", "60").title("second");
  padTo(&s, 2 * edge - 10000);
  // A first piece across edge 2, its second piece a short text.
  s.mark(&d2).line("D " + rep('r', 20020) + "S " + rep('s', 9975)).endEvent();
  padTo(&s, 3 * edge - 1);
  s.endChannel();  // "c" before edge 3, its line feed after
  return {
      "ReadBlockEdges", s.bytes(), channelEntry("A", 2, 0),
      eventEntry(rep('q', 100), "", 1, 60, d1) + eventEntry("second", rep('s', 100), 2, 60, d2)};
}

ScheduleCase manyEvents() {
  // Large enough for several read blocks and several index buffers.
  S s;
  std::string channels, events;
  for (int c = 0; c < 3; ++c) {
    int64_t first = static_cast<int64_t>(events.size());
    s.channel("Channel " + num(c), num(c));
    for (int i = 0; i < 2000; ++i) {
      int n = c * 2000 + i;
      int64_t start = 1700000000 + int64_t{n} * 1800, seconds = 1800, d = -1;
      std::string shortText = n % 3 == 0 ? "" : "Short " + num(n);
      s.event(num(start), "1800", num(n)).title("Event " + num(n));
      if (!shortText.empty()) s.shortText(shortText);
      if (n % 5 != 0) s.mark(&d).description(rep(static_cast<char>('a' + n % 26), n % 40 * 11));
      if (n % 7 == 0) {
        s.length("45");
        seconds = 2700;
      }
      s.endEvent();
      events += eventEntry("Event " + num(n), shortText, start, seconds, d);
    }
    s.endChannel();
    channels += channelEntry("Channel " + num(c), 2000, first);
  }
  return {"ManyEvents", s.bytes(), channels, events};
}

}  // namespace

void PrintTo(const ScheduleCase& c, std::ostream* os) { *os << c.name; }

std::vector<ScheduleCase> scheduleCases() {
  return {
      workedExample(),
      {"EmptyFile", "", "", ""},
      crlfFile(),
      lastLineCWithoutLineFeed(),
      twoCLinesInARow(),
      lastBlockWithoutC(),
      noCLineAtAll(),
      beforeAnyChannel(),
      ignoredLineBeforeD(),
      descriptionOutsideEvent(),
      incompleteEvents(),
      restartedEvents(),
      cInsideEvent(),
      channelNames(),
      titles(),
      shortTexts(),
      longIgnoredLine("Line20022BytesIsOnePiece", 20022, 0),
      longIgnoredLine("Line20023BytesIsTwoPieces", 20023, 20023),
      secondPieceAccepted(),
      secondPieceIgnored(),
      threePieces(),
      lastLineOverLimit(),
      numbersOnEventLines(),
      numbersOnXAndLLines(),
      nulBytes(),
      readBlockEdges(),
      manyEvents(),
  };
}
