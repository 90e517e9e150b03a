#include "testing/config_dir.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include "testing/run_program.h"

std::string configFile(const std::string& name) { return std::string(QUARN_CONFIG_DIR) + "/" + name; }

void resetConfigDir() {
  removeTree(QUARN_CONFIG_DIR);
  if (mkdir(QUARN_CONFIG_DIR, 0755) != 0) {
    perror(QUARN_CONFIG_DIR);
    abort();
  }
}
