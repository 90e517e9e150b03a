// What a directory holds, as text: what a failed run must (or must not) have
// changed.
#ifndef QUARN_TESTING_DIR_LISTING_H
#define QUARN_TESTING_DIR_LISTING_H

#include <string>

// The directory's entries, sorted, one line each: name, kind, and content or
// link target.
std::string listing(const std::string& dir);

// True when something (a dangling link too) is at the path.
bool present(const std::string& path);

#endif
