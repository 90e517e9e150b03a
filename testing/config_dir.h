// The configuration directory that the programs of this build read. Test
// builds point it into the build tree, so tests may fill it freely.
#ifndef QUARN_TESTING_CONFIG_DIR_H
#define QUARN_TESTING_CONFIG_DIR_H

#include <string>

std::string configFile(const std::string& name);

// Empties the configuration directory, creating it when missing.
void resetConfigDir();

#endif
