// Runs of the programs with the fault-injection library (testing/fault_shim.cc)
// preloaded: chosen opens, reads or allocations of the program fail.
#ifndef QUARN_TESTING_FAULT_INJECTION_H
#define QUARN_TESTING_FAULT_INJECTION_H

#include <string>

#include "testing/run_program.h"

struct Faults {
  std::string openFails;  // opening this path fails with EACCES
  std::string readFails;  // reading this path fails with EIO ...
  long readAfter = 0;     // ... once this many bytes of it were delivered
  long mallocAfter = -1;  // the program's own allocations after this many fail; -1: none
};

// Options that preload the library, set up for these faults.
RunOptions withFaults(const Faults& faults, RunOptions options = RunOptions());

#endif
