// Standard output is part of the work: a program that could not deliver it
// must not exit 0.
#ifndef QUARN_SETTINGS_PROGRAM_OUTPUT_H
#define QUARN_SETTINGS_PROGRAM_OUTPUT_H

// Flushes and closes standard output. Returns 0, or reports the failure on
// standard error with the program's name and returns 1.
int finishOutput(const char* program);

#endif
