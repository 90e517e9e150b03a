// Error reporting of the input definitions: numeric codes, their text, and
// the one message format "Erreur %s. %s.\n".
#ifndef QUARN_INPUTS_INPUT_ERRORS_H
#define QUARN_INPUTS_INPUT_ERRORS_H

#include <stdint.h>
#include <stdio.h>

enum : int32_t {
  ERR_INPUTS_CREATE = 205,  // detail: the path of inputs.txt
  ERR_INPUTS_OPEN = 206,    // detail: the path of inputs.txt
  ERR_INPUTS_LINE = 207,    // detail: the line as read, its "\n" included
};

// The text of a code; every code has the same one.
const char* errorText(int32_t code);

// Writes "Erreur <text>. <detail>.\n" to standard error.
void reportError(const char* text, const char* detail);

// The same message on another stream, so tests can read it back.
void reportErrorTo(FILE* stream, const char* text, const char* detail);

#endif
