#include "inputs/input_line.h"

#include <stdio.h>
#include <string.h>

#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "testing/inputs_builder.h"
#include "testing/case_name.h"

namespace {

// A definition as "name|code1|code2|code3|offset|label|number|prefix|suffix|source".
std::string describe(const InputDefinition& d) {
  return std::string(d.name) + "|" + d.code1 + "|" + d.code2 + "|" + d.code3 + "|" +
         std::to_string(d.timeOffset) + "|" + d.label + "|" + std::to_string(d.number) + "|" +
         d.prefix + "|" + d.suffix + "|" + d.source;
}

struct Parsed {
  LineResult result;
  std::string fields;  // empty for a bad line
};

bool dstOn() { return true; }
bool dstOff() { return false; }

Parsed parse(const std::string& line, bool dst) {
  InputDefinition d;
  LineResult result = parseInputLine(line.data(), line.size(), dst ? dstOn : dstOff, &d);
  return {result, result == LINE_BAD ? "" : describe(d)};
}

const char kDefault[] = "X|e|l|f|0|lbl|5|epg|.dat|src";

struct Case {
  const char* name;
  std::string line;
  bool dst;  // daylight-saving time in effect
  LineResult result;
  std::string fields;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

std::string with(size_t column, const std::string& text) {
  return InputColumns().set(column, text).text() + "\n";
}

std::vector<Case> cases() {
  const std::string x = "X e l f ";
  const std::string rest = " lbl 5 epg .dat src\n";
  return {
      // The example lines.
      {"CodesWrittenTogether", "X elf 0 lbl 5 epg .dat src\n", false, LINE_PLAIN, kDefault},
      {"CodesApart", "X e l f 0 lbl 5 epg .dat src\n", false, LINE_PLAIN, kDefault},
      {"DstFormOutsideDst", x + "3600DST" + rest, false, LINE_DST,
       "X|e|l|f|3600|lbl|5|epg|.dat|src"},
      {"DstFormDuringDst", x + "3600DST" + rest, true, LINE_DST,
       "X|e|l|f|7200|lbl|5|epg|.dat|src"},
      {"BlankBeforeDst", x + "3600 DST" + rest, false, LINE_BAD, ""},
      {"BlankBeforeDstDuringDst", x + "3600 DST" + rest, true, LINE_BAD, ""},
      {"PlainFormReadsDstAsLabel", "X e l f 0DST 12 5 epg .dat src\n", true, LINE_PLAIN,
       "X|e|l|f|0|DST|12|5|epg|.dat"},
      {"SignAfterCode", "X e l f-7200 lbl 5 epg .dat src\n", false, LINE_PLAIN,
       "X|e|l|f|-7200|lbl|5|epg|.dat|src"},
      {"SignApart", "X e l f -7200 lbl 5 epg .dat src\n", false, LINE_PLAIN,
       "X|e|l|f|-7200|lbl|5|epg|.dat|src"},

      // Whitespace and glued columns.
      {"AllKindsOfWhitespace", " \t X \t e  l\vf\f0\r\rlbl  5 epg\t.dat   src \r\n", false,
       LINE_PLAIN, kDefault},
      {"CrLf", "X e l f 0 lbl 5 epg .dat src\r\n", false, LINE_PLAIN, kDefault},
      {"NoLineEnd", "X e l f 0 lbl 5 epg .dat src", false, LINE_PLAIN, kDefault},
      {"TextAfterIntegers", "X e l f 0lbl 5epg .dat src\n", false, LINE_PLAIN, kDefault},
      {"AnyByteIsACode", "X #1\xe9 0 lbl 5 epg .dat src\n", false, LINE_PLAIN,
       "X|#|1|\xe9|0|lbl|5|epg|.dat|src"},
      {"ElevenColumns", "X e l f 0 lbl 5 epg .dat src extra\n", false, LINE_PLAIN, kDefault},
      {"ManyMoreColumns", "X e l f 0 lbl 5 epg .dat src a b c d e f g 1 2 3\n", false,
       LINE_PLAIN, kDefault},
      {"NineColumns", "X e l f 0 lbl 5 epg .dat\n", false, LINE_BAD, ""},
      {"NineColumnsDstForm", "X e l f 0DST lbl 5 epg .dat\n", true, LINE_BAD, ""},
      {"Empty", "", false, LINE_BAD, ""},
      {"LineEndOnly", "\n", false, LINE_BAD, ""},
      {"WhitespaceOnly", " \t\r\n", false, LINE_BAD, ""},
      {"BlanksThenHash", "  # word\n", false, LINE_BAD, ""},
      {"TextWhereCodeIsNeeded", "X e l\n", false, LINE_BAD, ""},
      {"TextWhereOffsetIsNeeded", with(5, "x"), false, LINE_BAD, ""},
      {"TextWhereNumberIsNeeded", with(7, "five"), false, LINE_BAD, ""},

      // "-" is a value of its own; only the source turns it into nothing.
      {"Hyphens", "X e l f 0 - 5 - - -\n", false, LINE_PLAIN, "X|e|l|f|0|-|5|-|-|"},
      {"HyphenName", with(1, "-"), false, LINE_PLAIN, "-|e|l|f|0|lbl|5|epg|.dat|src"},
      {"TwoHyphensSource", with(10, "--"), false, LINE_PLAIN, "X|e|l|f|0|lbl|5|epg|.dat|--"},
      {"HyphenPrefixedSource", with(10, "-x"), false, LINE_PLAIN, "X|e|l|f|0|lbl|5|epg|.dat|-x"},

      // Integers.
      {"OffsetMax", with(5, "2147483647"), false, LINE_PLAIN,
       "X|e|l|f|2147483647|lbl|5|epg|.dat|src"},
      {"OffsetMin", with(5, "-2147483648"), false, LINE_PLAIN,
       "X|e|l|f|-2147483648|lbl|5|epg|.dat|src"},
      {"OffsetAboveMax", with(5, "2147483648"), false, LINE_BAD, ""},
      {"OffsetBelowMin", with(5, "-2147483649"), false, LINE_BAD, ""},
      {"NumberMax", with(7, "2147483647"), false, LINE_PLAIN,
       "X|e|l|f|0|lbl|2147483647|epg|.dat|src"},
      {"NumberMin", with(7, "-2147483648"), false, LINE_PLAIN,
       "X|e|l|f|0|lbl|-2147483648|epg|.dat|src"},
      {"NumberAboveMax", with(7, "2147483648"), false, LINE_BAD, ""},
      {"NumberBelowMin", with(7, "-2147483649"), false, LINE_BAD, ""},
      {"NumberWrapsTo5In32Bits", with(7, "4294967301"), false, LINE_BAD, ""},
      {"ThousandDigits", with(7, std::string(1000, '9')), false, LINE_BAD, ""},
      {"LeadingZeros", with(7, std::string(100, '0') + "42"), false, LINE_PLAIN,
       "X|e|l|f|0|lbl|42|epg|.dat|src"},
      {"PlusSign", with(7, "+7"), false, LINE_PLAIN, "X|e|l|f|0|lbl|7|epg|.dat|src"},
      {"MinusZero", with(5, "-0"), false, LINE_PLAIN, kDefault},
      {"SignAlone", with(5, "-"), false, LINE_BAD, ""},
      {"TwoSigns", with(7, "+-5"), false, LINE_BAD, ""},
      {"SignThenBlank", with(7, "- 5"), false, LINE_BAD, ""},
      // The plain form reads this line whole, so it decides, although the
      // DST form would have read an acceptable line.
      {"PlainFormDecidesOutOfRange", "X e l f 0DST 99999999999 5 epg .dat src\n", false,
       LINE_BAD, ""},

      // The DST form and its +3600.
      {"DstFormAtMaxDuringDst", x + "2147480047DST" + rest, true, LINE_DST,
       "X|e|l|f|2147483647|lbl|5|epg|.dat|src"},
      {"DstFormOverflowsDuringDst", x + "2147480048DST" + rest, true, LINE_BAD, ""},
      {"DstFormNearMaxOutsideDst", x + "2147480048DST" + rest, false, LINE_DST,
       "X|e|l|f|2147480048|lbl|5|epg|.dat|src"},
      {"DstFormAtMinDuringDst", x + "-2147483648DST" + rest, true, LINE_DST,
       "X|e|l|f|-2147480048|lbl|5|epg|.dat|src"},
      {"DstFormBelowMin", x + "-2147483649DST" + rest, true, LINE_BAD, ""},
      // Glued to the label, DST becomes part of it and the plain form reads on.
      {"DstGluedToLabel", "X e l f 60DSTlbl 5 epg .dat src\n", true, LINE_PLAIN,
       "X|e|l|f|60|DSTlbl|5|epg|.dat|src"},
      {"DstInLowerCase", x + "3600dst" + rest, true, LINE_BAD, ""},
      {"DstCut", "X e l f 3600DS\n", true, LINE_BAD, ""},
      {"DstFormNineColumns", x + "3600DST lbl 5 epg .dat\n", true, LINE_BAD, ""},

      // The text ends at a NUL byte, as it would for the C library.
      {"NulAfterTenColumns", std::string("X e l f 0 lbl 5 epg .dat src\0 more\n", 35), false,
       LINE_PLAIN, kDefault},
      {"NulCutsTheSource", std::string("X e l f 0 lbl 5 epg .dat s\0rc\n", 30), false, LINE_PLAIN,
       "X|e|l|f|0|lbl|5|epg|.dat|s"},
      {"NulBeforeTenColumns", std::string("X e l f 0 lbl\0 5 epg .dat src\n", 30), false,
       LINE_BAD, ""},
      {"NulFirst", std::string("\0X e l f 0 lbl 5 epg .dat src\n", 30), false, LINE_BAD, ""},
  };
}

class ParseLine : public ::testing::TestWithParam<Case> {};

TEST_P(ParseLine, ResultAndFields) {
  const Case& c = GetParam();
  Parsed parsed = parse(c.line, c.dst);
  EXPECT_EQ(c.result, parsed.result);
  EXPECT_EQ(c.fields, parsed.fields);
}

INSTANTIATE_TEST_SUITE_P(Table, ParseLine, ::testing::ValuesIn(cases()),
                         CaseName());

// Every text column at its capacity is stored whole; one byte more makes the
// line bad, rather than cut or shifted into the next column.
TEST(ParseLine, TextColumnsAtAndOverCapacity) {
  struct Column {
    size_t column;
    size_t capacity;
  } columns[] = {{1, 30}, {6, 71}, {8, 12}, {9, 12}, {10, 69}};
  for (const Column& c : columns) {
    std::string full(c.capacity, 'a' + static_cast<char>(c.column));
    InputColumns atCapacity = InputColumns().set(c.column, full);
    Parsed parsed = parse(atCapacity.text() + "\n", false);
    EXPECT_EQ(LINE_PLAIN, parsed.result) << "column " << c.column;
    EXPECT_EQ(atCapacity.text("|"), parsed.fields) << "column " << c.column;

    InputColumns over = InputColumns().set(c.column, full + "b");
    EXPECT_EQ(LINE_BAD, parse(over.text() + "\n", false).result) << "column " << c.column;
    EXPECT_EQ(LINE_BAD, parse(over.set(5, "0DST").text() + "\n", true).result)
        << "column " << c.column << ", DST form";
  }
}

// The lines are defined by what sscanf makes of them; ask it, then apply the
// rule for tokens too long for their fields. Its buffers are larger than any
// line given to it, and its integers stay short enough to fit.
Parsed sscanfParse(const std::string& line, bool dst) {
  char name[256], label[256], prefix[256], suffix[256], source[256];
  char code1, code2, code3;
  int offset, number;
  const char* text = line.c_str();  // sscanf, too, stops at a NUL byte
  LineResult form = LINE_PLAIN;
  if (sscanf(text, "%s %c %c %c %d %s %d %s %s %s", name, &code1, &code2, &code3, &offset, label,
             &number, prefix, suffix, source) != 10) {
    if (sscanf(text, "%s %c %c %c %dDST %s %d %s %s %s", name, &code1, &code2, &code3, &offset,
               label, &number, prefix, suffix, source) != 10) {
      return {LINE_BAD, ""};
    }
    form = LINE_DST;
    if (dst) offset += 3600;
  }
  // A token too long for its field makes the line bad.
  if (strlen(name) > 30 || strlen(label) > 71 || strlen(prefix) > 12 || strlen(suffix) > 12 ||
      strlen(source) > 69) {
    return {LINE_BAD, ""};
  }
  if (strcmp(source, "-") == 0) source[0] = '\0';
  return {form, std::string(name) + "|" + code1 + "|" + code2 + "|" + code3 + "|" +
                    std::to_string(offset) + "|" + label + "|" + std::to_string(number) + "|" +
                    prefix + "|" + suffix + "|" + source};
}

TEST(ParseLine, AgreesWithSscanf) {
  // Short tokens, glued or apart, in every order: the column rules at work.
  const char* tokens[] = {"X",   "e",  "elf", "l",   "f",    "0",     "-7200", "+5",  "-",
                          "DST", "dst", "0DST", "60DST", "DSTx", "12",  "lbl",   "epg", ".dat",
                          "src", "#",   "a-b", "-x",  "1e",   "+",     "7-",    "+-3", "\xe9"};
  const char* blanks[] = {"", " ", "  ", "\t", "\r", "\v", "\f", "\n", " \r\n"};
  std::mt19937 generator(20240613);
  size_t accepted[3] = {};
  for (int i = 0; i < 40000; ++i) {
    std::string line = blanks[generator() % 9];
    size_t count = generator() % 15;
    for (size_t t = 0; t < count; ++t) {
      line += tokens[generator() % (sizeof tokens / sizeof tokens[0])];
      line += blanks[generator() % 9];
    }
    for (bool dst : {false, true}) {
      Parsed expected = sscanfParse(line, dst);
      Parsed parsed = parse(line, dst);
      ASSERT_EQ(expected.result, parsed.result) << '"' << line << "\" dst " << dst;
      ASSERT_EQ(expected.fields, parsed.fields) << '"' << line << "\" dst " << dst;
      ++accepted[parsed.result];
    }
  }
  EXPECT_GT(accepted[LINE_PLAIN], 1000u) << "too few lines to compare";
  EXPECT_GT(accepted[LINE_DST], 100u) << "too few lines to compare";
}

TEST(ParseLine, TableAgreesWithSscanf) {
  for (const Case& c : cases()) {
    // sscanf cannot be asked about integers outside 32 bits, nor about huge lines.
    bool longNumber = false;
    for (size_t digits = 0, i = 0; i < c.line.size(); ++i) {
      digits = c.line[i] >= '0' && c.line[i] <= '9' ? digits + 1 : 0;
      longNumber = longNumber || digits >= 10;
    }
    if (longNumber || c.line.size() > 200) continue;
    Parsed expected = sscanfParse(c.line, c.dst);
    EXPECT_EQ(expected.result, c.result) << c.name;
    EXPECT_EQ(expected.fields, c.fields) << c.name;
  }
}

TEST(ParseLine, BadLineLeavesTheRecordUntouched) {
  InputDefinition d, before;
  memset(&d, 0x5a, sizeof d);
  memcpy(&before, &d, sizeof d);
  const std::string lines[] = {"X e l f 0 lbl 5 epg .dat\n",
                               InputColumns().set(10, std::string(70, 's')).text(),
                               InputColumns().set(7, "2147483648").text()};
  for (const std::string& line : lines) {
    EXPECT_EQ(LINE_BAD, parseInputLine(line.data(), line.size(), dstOff, &d)) << line;
    EXPECT_EQ(0, memcmp(&before, &d, sizeof d)) << line;
  }
}

TEST(ParseLine, HugeLinesStayInBounds) {
  // Far longer than any piece that loading hands over; the seam takes them all.
  std::string longToken(10 << 20, 'a');
  for (size_t column : {1u, 6u, 7u, 10u}) {
    std::string text = column == 7 ? std::string(10 << 20, '7') : longToken;
    std::string line = InputColumns().set(column, text).text() + "\n";
    EXPECT_EQ(LINE_BAD, parse(line, false).result) << "column " << column;
  }
  std::string blanks = std::string(10 << 20, ' ') + "X e l f 0 lbl 5 epg .dat src";
  EXPECT_EQ(kDefault, parse(blanks, false).fields);
}

TEST(ParseLine, NullArgumentsAreBad) {
  InputDefinition d;
  EXPECT_EQ(LINE_BAD, parseInputLine(nullptr, 0, dstOff, &d));
  EXPECT_EQ(LINE_BAD, parseInputLine("X e l f 0 lbl 5 epg .dat src", 28, dstOff, nullptr));
}

}  // namespace

namespace {

int dstQuestions = 0;
bool countedDst() {
  ++dstQuestions;
  return true;
}

TEST(ParseLine, DaylightSavingTimeIsAskedOnlyForDstFormLines) {
  struct Case {
    const char* line;
    int questions;
  } cases[] = {
      {"X e l f 0 lbl 5 epg .dat src", 0},
      {"X e l f 0DST 12 5 epg .dat src", 0},  // the plain form reads it
      {"X e l f 3600 DST lbl 5 epg .dat src", 0},
      {"X e l f 3600DST lbl 5 epg .dat src", 1},
  };
  for (const Case& c : cases) {
    dstQuestions = 0;
    InputDefinition d;
    parseInputLine(c.line, strlen(c.line), countedDst, &d);
    EXPECT_EQ(c.questions, dstQuestions) << c.line;
  }
}

}  // namespace
