#include "testing/dir_listing.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "testing/conf_builder.h"

std::string listing(const std::string& dir) {
  std::vector<std::string> lines;
  if (DIR* d = opendir(dir.c_str())) {
    while (struct dirent* entry = readdir(d)) {
      std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      std::string path = dir + "/" + name;
      struct stat info;
      if (lstat(path.c_str(), &info) != 0) continue;
      std::string line = name;
      if (S_ISLNK(info.st_mode)) {
        char target[4096];
        ssize_t n = readlink(path.c_str(), target, sizeof target);
        line += " -> " + std::string(target, n > 0 ? static_cast<size_t>(n) : 0);
      } else if (S_ISDIR(info.st_mode)) {
        line += "/";
      } else {
        line += ": " + readFile(path);
      }
      lines.push_back(line);
    }
    closedir(d);
  }
  std::sort(lines.begin(), lines.end());
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

bool present(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}
