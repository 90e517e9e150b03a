// Runs a built program the way a caller does and captures what it did.
#ifndef QUARN_TESTING_RUN_PROGRAM_H
#define QUARN_TESTING_RUN_PROGRAM_H

#include <string>
#include <vector>

struct RunResult {
  std::string out;
  std::string err;
  int status = -1;  // exit status, or -1 when the program did not exit normally
};

struct RunOptions {
  std::string stdoutPath;  // send standard output here (say /dev/full) instead of capturing it
  std::string workDir;     // run in this directory
  std::vector<std::string> environment;  // "NAME=value" settings added for the program
};

// argv[0] is the program path itself. Under cross builds the emulator is put
// in front, so tests need not know they run under one.
RunResult runProgram(const std::string& program, const std::vector<std::string>& args,
                     const RunOptions& options = RunOptions());

// A fresh, empty directory below the system's temporary directory, removed
// with its files when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Removes a path and, for a directory, what it holds.
void removeTree(const std::string& path);

#endif
