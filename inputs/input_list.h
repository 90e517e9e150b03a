// The input definitions of inputs.txt: the list that loads and owns them, and
// with it the module's whole interface.
#ifndef QUARN_INPUTS_INPUT_LIST_H
#define QUARN_INPUTS_INPUT_LIST_H

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include "inputs/default_inputs.h"
#include "inputs/input_errors.h"
#include "inputs/input_line.h"

// Lines are read in pieces of at most this many bytes, "\n" included.
enum : size_t { INPUT_LINE_MAX = 2022 };

// The fixed path of inputs.txt in the configuration directory.
const char* inputsPath();

// A link of the list: one definition, allocated on its own.
struct InputNode;

// The accepted definitions of a file in file order. Construction reports
// problems itself and always leaves a usable list, possibly empty. Pointers
// handed out stay valid until the list is destroyed.
class InputList {
 public:
  // Loads inputsPath(), reporting on standard error.
  InputList();
  // Loads a path; a missing or unreadable file gives ERR_INPUTS_OPEN, and so
  // does a read error midway ("<path>: <cause>"), after which the lines read
  // before it stay loaded.
  InputList(const char* path, FILE* messages);
  // Loads what is left of an open stream, which stays open. Each definition
  // takes its memory from `allocate` and gives it back with free; a test can
  // make it fail. A read error is reported with its cause alone.
  InputList(FILE* file, FILE* messages, void* (*allocate)(size_t) = malloc);
  ~InputList();

  InputList(const InputList&) = delete;
  InputList& operator=(const InputList&) = delete;

  // The first definition whose name equals `name` byte for byte, or null.
  const InputDefinition* find(const char* name) const;

  // One traversal at a time for the whole process: `restart` starts at this
  // list's first definition. Null at the end, and null without a restart of
  // this very list.
  const InputDefinition* next(bool restart) const;

  int32_t size() const;

 private:
  // Returns 0, or the errno value of a read error that ended the loading.
  int load(FILE* file, FILE* messages, void* (*allocate)(size_t));

  InputNode* first_ = nullptr;
  InputNode* last_ = nullptr;
};

#endif
