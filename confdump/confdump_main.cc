// confdump: prints the storage directory that the settings select and, for
// each enabled input slot, the input definition that it names.
#include <inttypes.h>
#include <stdio.h>

#include "inputs/input_list.h"
#include "settings/program_output.h"
#include "settings/settings_store.h"

namespace {

// One KEY=value line; plain fputs keeps start-up cheap on slow receivers.
void printLine(char key, int slot, const char* value) {
  const char head[] = {key, static_cast<char>('0' + slot), '=', '\0'};
  fputs(head, stdout);
  fputs(value, stdout);
  fputc('\n', stdout);
}

void printSlot(int slot, const InputDefinition& d) {
  char number[12];
  snprintf(number, sizeof number, "%" PRId32, d.number);
  const char code[] = {d.code3, '\0'};
  printLine('R', slot, d.source);
  printLine('L', slot, d.label);
  printLine('P', slot, d.prefix);
  printLine('A', slot, d.suffix);
  printLine('D', slot, number);
  printLine('T', slot, code);
}

// The run up to the exit status; the list is freed when it returns.
int dump() {
  InputList inputs;
  int loaded = loadSettings(LAYOUT_CURRENT);
  const char* directory = storagePath(storageIndex(settingsImage));
  if (directory == nullptr) {
    fprintf(stderr, "%s: corrupt (storage index)\n", settingsPath());
    return 1;
  }
  fputs("STORAGEDIR=", stdout);
  fputs(directory, stdout);
  fputc('\n', stdout);
  if (loaded != SETTINGS_OK) return 1;
  for (int slot = 0; slot < static_cast<int>(INPUT_SLOTS); ++slot) {
    InputSlot settings = inputSlot(settingsImage, static_cast<size_t>(slot));
    if (settings.enabled == 0) continue;
    const InputDefinition* definition = inputs.find(settings.inputName);
    if (definition != nullptr) printSlot(slot, *definition);
  }
  return 0;
}

}  // namespace

int main() {
  int status = dump();
  int output = finishOutput("confdump");
  return status != 0 || output != 0 ? 1 : 0;
}
