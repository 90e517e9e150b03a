#include "inputs/input_list.h"

#include <errno.h>
#include <limits.h>
#include <string.h>
#include <sys/stat.h>

#include <new>  // placement new only: the C library's malloc gives the memory

#ifndef QUARN_CONFIG_DIR
#error "QUARN_CONFIG_DIR must name the configuration directory"
#endif

struct InputNode {
  InputDefinition definition;
  InputNode* next;
};

namespace {

// The traversal cursor: one for the process, remembered with the list it
// belongs to so that no other list can follow it.
const InputList* cursorList = nullptr;
const InputNode* cursor = nullptr;

}  // namespace

const char* inputsPath() { return QUARN_CONFIG_DIR "/inputs.txt"; }

InputList::InputList() : InputList(inputsPath(), stderr) {}

InputList::InputList(const char* path, FILE* messages) {
  FILE* file = path != nullptr ? fopen(path, "r") : nullptr;
  struct stat info;
  // A directory opens but yields no line: it is no inputs file either.
  if (file == nullptr || fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
    reportErrorTo(messages, errorText(ERR_INPUTS_OPEN), path);
  } else if (int error = load(file, messages, malloc)) {
    char detail[PATH_MAX + 64];
    snprintf(detail, sizeof detail, "%s: %s", path, strerror(error));
    reportErrorTo(messages, errorText(ERR_INPUTS_OPEN), detail);
  }
  if (file != nullptr) fclose(file);
}

InputList::InputList(FILE* file, FILE* messages, void* (*allocate)(size_t)) {
  if (file == nullptr || allocate == nullptr) return;
  if (int error = load(file, messages, allocate)) {
    reportErrorTo(messages, errorText(ERR_INPUTS_OPEN), strerror(error));
  }
}

InputList::~InputList() {
  for (InputNode* node = first_; node != nullptr;) {
    InputNode* following = node->next;
    free(node);
    node = following;
  }
  // A later list at this address must not find the cursor still pointing here.
  if (cursorList == this) {
    cursorList = nullptr;
    cursor = nullptr;
  }
}

int InputList::load(FILE* file, FILE* messages, void* (*allocate)(size_t)) {
  char line[INPUT_LINE_MAX + 1];
  for (;;) {
    errno = 0;
    bool got = fgets(line, sizeof line, file) != nullptr;
    // A line that a read error cut short must not load as a shorter one.
    if (ferror(file) != 0) return errno != 0 ? errno : EIO;
    if (!got) return 0;
    if (line[0] == '#') continue;
    InputDefinition definition;
    // What follows a NUL byte is lost to the parse and to the message alike.
    if (parseInputLine(line, strlen(line), isDstNow, &definition) == LINE_BAD) {
      reportErrorTo(messages, errorText(ERR_INPUTS_LINE), line);
      continue;
    }
    void* memory = allocate(sizeof(InputNode));
    if (memory == nullptr) {
      // Later lines would fail alike; keep what is loaded and say so once.
      reportErrorTo(messages, errorText(ERR_INPUTS_LINE), "out of memory");
      return 0;
    }
    InputNode* node = new (memory) InputNode{definition, nullptr};
    if (last_ == nullptr) {
      first_ = node;
    } else {
      last_->next = node;
    }
    last_ = node;
  }
}

const InputDefinition* InputList::find(const char* name) const {
  if (name == nullptr) return nullptr;
  for (const InputNode* node = first_; node != nullptr; node = node->next) {
    if (strcmp(node->definition.name, name) == 0) return &node->definition;
  }
  return nullptr;
}

const InputDefinition* InputList::next(bool restart) const {
  if (restart) {
    cursorList = this;
    cursor = first_;
  }
  if (cursorList != this || cursor == nullptr) return nullptr;
  const InputNode* node = cursor;
  cursor = node->next;
  return &node->definition;
}

int32_t InputList::size() const {
  int32_t count = 0;
  for (const InputNode* node = first_; node != nullptr && count < INT32_MAX; node = node->next) {
    ++count;
  }
  return count;
}
