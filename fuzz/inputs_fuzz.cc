// inputs.txt loader on any bytes, through the FILE* seam (fmemopen), checked
// against a model: the pieces that fgets makes of the bytes, and sscanf with
// the two line forms on each piece. Loaded a second time with an allocation
// failing halfway, which must keep the definitions before it.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "inputs/input_list.h"

namespace {

void check(bool ok, const char* what) {
  if (ok) return;
  fprintf(stderr, "inputs_fuzz: invariant broken: %s\n", what);
  abort();
}

std::string lineMessage(const std::string& detail) { return "Erreur erreur. " + detail + ".\n"; }

// A text column of a form as sscanf reads it, checked against its field.
bool fits(const char* token, size_t fieldSize) { return strlen(token) < fieldSize; }
bool isInt32(long long value) { return value >= INT32_MIN && value <= INT32_MAX; }

// The line as sscanf reads it with the plain form, then the DST form; long
// long integers so that a value beyond 32 bits shows. Tokens are longer than
// any piece. TZ is UTC: the DST form adds nothing.
bool modelLine(const std::string& text, InputDefinition* out) {
  static char name[INPUT_LINE_MAX + 1], label[INPUT_LINE_MAX + 1], prefix[INPUT_LINE_MAX + 1],
      suffix[INPUT_LINE_MAX + 1], source[INPUT_LINE_MAX + 1];
  char c1 = 0, c2 = 0, c3 = 0;
  long long offset = 0, number = 0;
  int read = sscanf(text.c_str(), "%2022s %c %c %c %lld %2022s %lld %2022s %2022s %2022s", name,
                    &c1, &c2, &c3, &offset, label, &number, prefix, suffix, source);
  if (read != 10) {
    read = sscanf(text.c_str(), "%2022s %c %c %c %lldDST %2022s %lld %2022s %2022s %2022s", name,
                  &c1, &c2, &c3, &offset, label, &number, prefix, suffix, source);
  }
  if (read != 10 || !fits(name, DEFINITION_NAME_SIZE) || !fits(label, DEFINITION_LABEL_SIZE) ||
      !fits(prefix, DEFINITION_AFFIX_SIZE) || !fits(suffix, DEFINITION_AFFIX_SIZE) ||
      !fits(source, DEFINITION_SOURCE_SIZE) || !isInt32(offset) || !isInt32(number)) {
    return false;
  }
  InputDefinition d{};
  strcpy(d.name, name);
  d.code1 = c1;
  d.code2 = c2;
  d.code3 = c3;
  d.timeOffset = static_cast<int32_t>(offset);
  strcpy(d.label, label);
  d.number = static_cast<int32_t>(number);
  strcpy(d.prefix, prefix);
  strcpy(d.suffix, suffix);
  strcpy(d.source, strcmp(source, "-") == 0 ? "" : source);
  *out = d;
  return true;
}

struct Model {
  std::vector<InputDefinition> accepted;
  std::string messages;
  std::vector<size_t> messagesBefore;  // length of messages when each definition came
};

// The pieces as fgets reads them into INPUT_LINE_MAX + 1 bytes: through "\n",
// or INPUT_LINE_MAX bytes. Each is C text: it ends at its first NUL.
Model model(const uint8_t* data, size_t size) {
  Model m;
  for (size_t at = 0; at < size;) {
    size_t end = at;
    while (end < size && end - at < INPUT_LINE_MAX) {
      if (data[end++] == '\n') break;
    }
    const char first = static_cast<char>(data[at]);
    std::string text(reinterpret_cast<const char*>(data + at), end - at);
    text.resize(strlen(text.c_str()));
    at = end;
    if (first == '#') continue;
    InputDefinition d;
    if (modelLine(text, &d)) {
      m.messagesBefore.push_back(m.messages.size());
      m.accepted.push_back(d);
    } else {
      m.messages += lineMessage(text);
    }
  }
  return m;
}

bool terminated(const char* field, size_t size) { return memchr(field, '\0', size) != nullptr; }

void checkDefinition(const InputDefinition& got, const InputDefinition& want) {
  check(terminated(got.name, sizeof got.name) && terminated(got.label, sizeof got.label) &&
            terminated(got.prefix, sizeof got.prefix) &&
            terminated(got.suffix, sizeof got.suffix) &&
            terminated(got.source, sizeof got.source),
        "text fields end in NUL within their capacity");
  check(strcmp(got.name, want.name) == 0 && got.code1 == want.code1 &&
            got.code2 == want.code2 && got.code3 == want.code3 &&
            got.timeOffset == want.timeOffset && strcmp(got.label, want.label) == 0 &&
            got.number == want.number && strcmp(got.prefix, want.prefix) == 0 &&
            strcmp(got.suffix, want.suffix) == 0 && strcmp(got.source, want.source) == 0,
        "each definition is what sscanf reads from its line");
}

// The list against the model's first `count` definitions.
void checkList(const InputList& list, const Model& m, size_t count) {
  check(list.size() == static_cast<int32_t>(count), "size() counts the definitions");
  std::unordered_map<std::string, const InputDefinition*> first;
  size_t walked = 0;
  for (const InputDefinition* d = list.next(true); d != nullptr; d = list.next(false)) {
    check(walked < count, "next() yields no more than size()");
    checkDefinition(*d, m.accepted[walked++]);
    first.emplace(d->name, d);
  }
  check(walked == count, "next() yields size() definitions");
  for (const auto& entry : first) {
    check(list.find(entry.first.c_str()) == entry.second, "find returns the first of a name");
  }
  check(list.find("") == nullptr, "no definition has an empty name");
}

// malloc, failing once `allowed` calls have succeeded.
size_t allowed = 0;
void* failingMalloc(size_t size) {
  if (allowed == 0) return nullptr;
  --allowed;
  return malloc(size);
}

FILE* openBytes(std::vector<char>* copy) {
  // fmemopen wants a buffer of at least one byte.
  return copy->empty() ? fopen("/dev/null", "r") : fmemopen(copy->data(), copy->size(), "r");
}

struct Messages {
  char* text = nullptr;
  size_t size = 0;
  FILE* stream = open_memstream(&text, &size);
  ~Messages() {
    fclose(stream);
    free(text);
  }
  std::string read() {
    fflush(stream);
    return std::string(text, size);
  }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("TZ", "UTC", 1);
  tzset();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Model m = model(data, size);
  std::vector<char> copy(data, data + size);
  {
    FILE* in = openBytes(&copy);
    Messages messages;
    InputList list(in, messages.stream);
    fclose(in);
    checkList(list, m, m.accepted.size());
    check(messages.read() == m.messages, "one message per bad piece, the piece as detail");
  }
  if (!m.accepted.empty()) {
    const size_t kept = m.accepted.size() / 2;
    allowed = kept;
    FILE* in = openBytes(&copy);
    Messages messages;
    InputList list(in, messages.stream, failingMalloc);
    fclose(in);
    checkList(list, m, kept);
    check(messages.read() ==
              m.messages.substr(0, m.messagesBefore[kept]) + lineMessage("out of memory"),
          "a failed allocation keeps what was loaded and says so once");
  }
  return 0;
}
