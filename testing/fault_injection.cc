#include "testing/fault_injection.h"

#include <stdlib.h>

RunOptions withFaults(const Faults& faults, RunOptions options) {
  std::vector<std::string>& env = options.environment;
  env.push_back(std::string("LD_PRELOAD=") + QUARN_FAULT_SHIM);
  // Under AddressSanitizer its runtime would insist on coming first.
  const char* asan = getenv("ASAN_OPTIONS");
  std::string asanOptions = asan != nullptr && *asan != '\0' ? std::string(asan) + ":" : "";
  env.push_back("ASAN_OPTIONS=" + asanOptions + "verify_asan_link_order=0");
  if (!faults.openFails.empty()) env.push_back("QUARN_FAULT_OPEN=" + faults.openFails);
  if (!faults.readFails.empty()) {
    env.push_back("QUARN_FAULT_READ=" + faults.readFails);
    env.push_back("QUARN_FAULT_READ_AFTER=" + std::to_string(faults.readAfter));
  }
  if (faults.mallocAfter >= 0) {
    env.push_back("QUARN_FAULT_MALLOC_AFTER=" + std::to_string(faults.mallocAfter));
  }
  return options;
}
