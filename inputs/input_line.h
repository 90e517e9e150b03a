// One line of inputs.txt and the definition it becomes.
#ifndef QUARN_INPUTS_INPUT_LINE_H
#define QUARN_INPUTS_INPUT_LINE_H

#include <stddef.h>
#include <stdint.h>

// Field sizes, terminating NUL included.
enum : size_t {
  DEFINITION_NAME_SIZE = 31,
  DEFINITION_LABEL_SIZE = 72,
  DEFINITION_AFFIX_SIZE = 13,  // prefix and suffix
  DEFINITION_SOURCE_SIZE = 70,
};

// The ten columns of an accepted line, in column order.
struct InputDefinition {
  char name[DEFINITION_NAME_SIZE];
  char code1;
  char code2;
  char code3;
  int32_t timeOffset;  // seconds; +3600 for a DST-form line read during daylight-saving time
  char label[DEFINITION_LABEL_SIZE];
  int32_t number;
  char prefix[DEFINITION_AFFIX_SIZE];
  char suffix[DEFINITION_AFFIX_SIZE];
  char source[DEFINITION_SOURCE_SIZE];  // empty when the column was "-"
};

enum LineResult : uint8_t {
  LINE_BAD,    // neither form reads the line, or a column does not fit its field
  LINE_PLAIN,  // read by "%s %c %c %c %d %s %d %s %s %s"
  LINE_DST,    // read by "%s %c %c %c %dDST %s %d %s %s %s"
};

// Reads one line (its "\n" may be included) as sscanf would with the plain
// form and then the DST form; the text ends at its first NUL byte, if any.
// The first form that reads all ten columns decides. A token longer than its
// field or an integer outside 32 bits makes the line bad, and so does the
// +3600 that the DST form adds when dstNow() says daylight-saving time is in
// effect. dstNow is asked only for lines the DST form reads: it costs a time
// zone lookup. *out is written only when the line is accepted. Never prints.
LineResult parseInputLine(const char* text, size_t length, bool (*dstNow)(), InputDefinition* out);

// True when the local time now has daylight-saving time in effect; false
// when the local time cannot be had.
bool isDstNow();

#endif
