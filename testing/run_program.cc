#include "testing/run_program.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "testing/conf_builder.h"

namespace {

std::vector<std::string> emulatorPrefix() {
  std::vector<std::string> prefix;
#ifdef QUARN_TEST_EMULATOR
  std::string list = QUARN_TEST_EMULATOR;  // the emulator command, its words separated by "|"
  size_t start = 0;
  while (start <= list.size() && !list.empty()) {
    size_t end = list.find('|', start);
    if (end == std::string::npos) end = list.size();
    if (end > start) prefix.push_back(list.substr(start, end - start));
    start = end + 1;
  }
#endif
  return prefix;
}

void redirect(const std::string& path, int target, int flags) {
  int fd = open(path.c_str(), flags, 0644);
  if (fd < 0 || dup2(fd, target) < 0) _exit(126);
  close(fd);
}

}  // namespace

RunResult runProgram(const std::string& program, const std::vector<std::string>& args,
                     const RunOptions& options) {
  TempDir capture;
  std::string outPath = options.stdoutPath.empty() ? capture.file("out") : options.stdoutPath;
  std::string errPath = capture.file("err");

  std::vector<std::string> words = emulatorPrefix();
  words.push_back(program);
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(&word[0]);
  argv.push_back(nullptr);

  fflush(nullptr);
  pid_t child = fork();
  if (child == 0) {
    redirect("/dev/null", 0, O_RDONLY);
    redirect(outPath, 1, O_WRONLY | O_CREAT | O_TRUNC);
    redirect(errPath, 2, O_WRONLY | O_CREAT | O_TRUNC);
    if (!options.workDir.empty() && chdir(options.workDir.c_str()) != 0) _exit(126);
    for (const std::string& setting : options.environment) {
      size_t equals = setting.find('=');
      if (equals == std::string::npos ||
          setenv(setting.substr(0, equals).c_str(), setting.c_str() + equals + 1, 1) != 0) {
        _exit(126);
      }
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  RunResult result;
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
    result.status = WEXITSTATUS(status);
  }
  if (options.stdoutPath.empty()) result.out = readFile(outPath);
  result.err = readFile(errPath);
  return result;
}

TempDir::TempDir() {
  const char* base = getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") +
                        "/quarn-test-XXXXXX";
  if (mkdtemp(&pattern[0]) == nullptr) {
    perror("mkdtemp");
    abort();
  }
  path_ = pattern;
}

TempDir::~TempDir() { removeTree(path_); }

void removeTree(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return;
  if (S_ISDIR(info.st_mode)) {
    chmod(path.c_str(), 0700);  // a test may have made it unreadable
    if (DIR* dir = opendir(path.c_str())) {
      while (struct dirent* entry = readdir(dir)) {
        if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0) {
          removeTree(path + "/" + entry->d_name);
        }
      }
      closedir(dir);
    }
    rmdir(path.c_str());
  } else {
    unlink(path.c_str());
  }
}
