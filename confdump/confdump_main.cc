// confdump: prints the storage directory that the settings select and, for
// each enabled input slot, the input definition that it names.
#include <inttypes.h>
#include <stdio.h>

#include "inputs/input_list.h"
#include "settings/program_output.h"
#include "settings/settings_store.h"

namespace {

void printSlot(int slot, const InputDefinition& d) {
  printf("R%d=%s\n", slot, d.source);
  printf("L%d=%s\n", slot, d.label);
  printf("P%d=%s\n", slot, d.prefix);
  printf("A%d=%s\n", slot, d.suffix);
  printf("D%d=%" PRId32 "\n", slot, d.number);
  printf("T%d=%c\n", slot, d.code3);
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
  printf("STORAGEDIR=%s\n", directory);
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
