// The built-in default inputs.txt, the file-system questions that writing it
// asks, and the kinds of source texts.
#ifndef QUARN_INPUTS_DEFAULT_INPUTS_H
#define QUARN_INPUTS_DEFAULT_INPUTS_H

#include <stdint.h>
#include <stdio.h>

enum SourceKind : uint8_t {
  SOURCE_NONE = 0,  // empty, or none of the prefixes below
  SOURCE_HTTP = 1,  // "http:"
  SOURCE_TSID = 2,  // "tsid:"
  SOURCE_OTID = 3,  // "otid:"
};

// Sixteen lines: three comments and thirteen definitions, all in the plain form.
extern const char defaultInputsText[];

// The size in bytes of what the path names, 2147483647 for anything larger,
// or -1 when it cannot be examined. Nothing is opened.
int32_t fileSize(const char* path);

// True for anything that can be examined, a directory too.
bool fileExists(const char* path);

// Creates inputsPath() with defaultInputsText when nothing is there.
void writeDefaultInputs();

// The same for any path, reporting on `messages`. An existing file is never
// touched; a file that could not be written whole is removed again.
void writeDefaultInputsAt(const char* path, FILE* messages);

// Classifies a source by its first five characters, case included.
SourceKind sourceKind(const char* source);

#endif
