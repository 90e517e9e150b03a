#include "inputs/input_errors.h"

const char* errorText(int32_t) { return "erreur"; }

void reportError(const char* text, const char* detail) { reportErrorTo(stderr, text, detail); }

void reportErrorTo(FILE* stream, const char* text, const char* detail) {
  if (stream == nullptr) return;
  fprintf(stream, "Erreur %s. %s.\n", text != nullptr ? text : "", detail != nullptr ? detail : "");
}
