// storedir: prints the storage directory that the older settings layout selects.
#include <stdio.h>

#include "settings/program_output.h"
#include "settings/settings_store.h"

int main() {
  if (loadSettings(LAYOUT_OLDER) != SETTINGS_OK) return 1;
  const char* directory = storagePath(storageIndex(settingsImage));
  if (directory == nullptr) {
    fprintf(stderr, "%s: corrupt (storage index)\n", settingsPath());
    return 1;
  }
  fputs(directory, stdout);
  fputc('\n', stdout);
  return finishOutput("storedir");
}
