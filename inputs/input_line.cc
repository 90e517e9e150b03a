#include "inputs/input_line.h"

#include <string.h>
#include <time.h>

namespace {

// What the line has left to read; it ends at its first NUL byte, as it would
// for sscanf.
struct Input {
  const char* p;
  const char* end;
};

// A run of non-blank bytes, however long; it is measured before it is stored.
struct Token {
  const char* start;
  size_t length;
};

// The ten columns as a form reads them, integers kept in 64 bits so that a
// value outside 32 bits shows instead of wrapping.
struct Columns {
  Token name;
  char code1;
  char code2;
  char code3;
  int64_t offset;
  Token label;
  int64_t number;
  Token prefix;
  Token suffix;
  Token source;
};

// Far outside 32 bits; digits after this no longer change the verdict.
constexpr int64_t kSaturated = INT64_C(1) << 40;

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

void skipBlanks(Input* in) {
  while (in->p < in->end && isBlank(*in->p)) ++in->p;
}

// "%s": blanks, then a run of non-blanks.
bool scanText(Input* in, Token* out) {
  skipBlanks(in);
  out->start = in->p;
  while (in->p < in->end && !isBlank(*in->p)) ++in->p;
  out->length = static_cast<size_t>(in->p - out->start);
  return out->length > 0;
}

// " %c": the next non-blank byte.
bool scanChar(Input* in, char* out) {
  skipBlanks(in);
  if (in->p == in->end) return false;
  *out = *in->p++;
  return true;
}

// "%d": blanks, an optional sign, at least one digit.
bool scanInteger(Input* in, int64_t* out) {
  skipBlanks(in);
  bool negative = false;
  if (in->p < in->end && (*in->p == '+' || *in->p == '-')) {
    negative = *in->p == '-';
    ++in->p;
  }
  if (in->p == in->end || !isDigit(*in->p)) return false;
  int64_t magnitude = 0;
  for (; in->p < in->end && isDigit(*in->p); ++in->p) {
    if (magnitude <= kSaturated) magnitude = magnitude * 10 + (*in->p - '0');
  }
  *out = negative ? -magnitude : magnitude;
  return true;
}

// An ordinary format character matches itself only, with no blank before it.
bool scanLiteral(Input* in, const char* literal) {
  for (; *literal != '\0'; ++literal, ++in->p) {
    if (in->p == in->end || *in->p != *literal) return false;
  }
  return true;
}

// True when the form reads all ten columns.
bool scanForm(const char* text, const char* end, bool dstForm, Columns* c) {
  Input in{text, end};
  return scanText(&in, &c->name) && scanChar(&in, &c->code1) && scanChar(&in, &c->code2) &&
         scanChar(&in, &c->code3) && scanInteger(&in, &c->offset) &&
         (!dstForm || scanLiteral(&in, "DST")) && scanText(&in, &c->label) &&
         scanInteger(&in, &c->number) && scanText(&in, &c->prefix) && scanText(&in, &c->suffix) &&
         scanText(&in, &c->source);
}

bool fits(const Token& token, size_t fieldSize) { return token.length < fieldSize; }

bool isInt32(int64_t value) { return value >= INT32_MIN && value <= INT32_MAX; }

void store(char* field, const Token& token) {
  memcpy(field, token.start, token.length);
  field[token.length] = '\0';
}

}  // namespace

LineResult parseInputLine(const char* text, size_t length, bool (*dstNow)(), InputDefinition* out) {
  if (text == nullptr || out == nullptr) return LINE_BAD;
  const char* nul = static_cast<const char*>(memchr(text, '\0', length));
  const char* end = nul != nullptr ? nul : text + length;

  Columns c;
  LineResult form = LINE_PLAIN;
  if (!scanForm(text, end, false, &c)) {
    if (!scanForm(text, end, true, &c)) return LINE_BAD;
    form = LINE_DST;
  }
  int64_t offset = form == LINE_DST && dstNow != nullptr && dstNow() ? c.offset + 3600 : c.offset;
  // Checked only once a form has read the line, so that a cut token can
  // never shift the columns after it.
  if (!fits(c.name, DEFINITION_NAME_SIZE) || !fits(c.label, DEFINITION_LABEL_SIZE) ||
      !fits(c.prefix, DEFINITION_AFFIX_SIZE) || !fits(c.suffix, DEFINITION_AFFIX_SIZE) ||
      !fits(c.source, DEFINITION_SOURCE_SIZE) || !isInt32(c.offset) || !isInt32(offset) ||
      !isInt32(c.number)) {
    return LINE_BAD;
  }

  InputDefinition d{};
  store(d.name, c.name);
  d.code1 = c.code1;
  d.code2 = c.code2;
  d.code3 = c.code3;
  d.timeOffset = static_cast<int32_t>(offset);
  store(d.label, c.label);
  d.number = static_cast<int32_t>(c.number);
  store(d.prefix, c.prefix);
  store(d.suffix, c.suffix);
  if (c.source.length == 1 && c.source.start[0] == '-') c.source.length = 0;
  store(d.source, c.source);
  *out = d;
  return form;
}

bool isDstNow() {
  time_t now = time(nullptr);
  if (now == static_cast<time_t>(-1)) return false;
  tzset();  // localtime_r need not read TZ anew; localtime does
  struct tm local;
  if (localtime_r(&now, &local) == nullptr) return false;
  return local.tm_isdst > 0;
}
