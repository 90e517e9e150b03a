// Fault injection for end-to-end tests: preloaded into a program under test
// (LD_PRELOAD), it makes chosen calls fail. Set by environment variables that
// only it reads:
//   QUARN_FAULT_OPEN=PATH        opening PATH (open, fopen) fails with EACCES
//   QUARN_FAULT_READ=PATH        reading PATH fails with EIO once ...
//   QUARN_FAULT_READ_AFTER=N     ... N bytes of it were delivered (default 0)
//   QUARN_FAULT_MALLOC_AFTER=N   the program's own malloc calls after the
//                                first N fail; the C library's own allocations
//                                (stdio buffers, time zones) go through
// Paths are compared as the program passes them. glibc's stdio reads through
// calls that cannot be interposed, so a faulty PATH opened with fopen is
// handed out as a cookie stream over the file, whose reads the shim makes.
#ifndef _GNU_SOURCE
#define _GNU_SOURCE
#endif
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <link.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

const char* setting(const char* name) {
  const char* value = getenv(name);
  return value != nullptr && *value != '\0' ? value : nullptr;
}

bool named(const char* variable, const char* path) {
  const char* wanted = setting(variable);
  return wanted != nullptr && path != nullptr && strcmp(wanted, path) == 0;
}

long number(const char* variable, long fallback) {
  const char* value = setting(variable);
  return value != nullptr ? strtol(value, nullptr, 10) : fallback;
}

// The real functions, found on first use.
template <typename F>
F next(F* slot, const char* name) {
  if (*slot == nullptr) *slot = reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
  return *slot;
}

// Straight to the kernel: neither these calls nor what they do count as the
// program's.
int kernelOpen(const char* path, int flags, mode_t mode) {
  return static_cast<int>(syscall(SYS_openat, AT_FDCWD, path, flags, mode));
}
ssize_t kernelRead(int fd, void* buffer, size_t size) {
  return syscall(SYS_read, fd, buffer, size);
}

// --- reads that fail after a number of bytes ---------------------------------

struct FaultyFile {
  int fd = -1;  // -1: slot free
  long delivered = 0;
  FILE* stream = nullptr;  // for a file opened with fopen
};

FaultyFile faulty[8];

FaultyFile* findByFd(int fd) {
  for (FaultyFile& f : faulty) {
    if (f.fd >= 0 && f.fd == fd && f.stream == nullptr) return &f;
  }
  return nullptr;
}

FaultyFile* track(int fd) {
  for (FaultyFile& f : faulty) {
    if (f.fd < 0) {
      f.fd = fd;
      f.delivered = 0;
      f.stream = nullptr;
      return &f;
    }
  }
  return nullptr;
}

// At most what is left before the fault, then EIO.
ssize_t faultyRead(FaultyFile* f, void* buffer, size_t size) {
  long limit = number("QUARN_FAULT_READ_AFTER", 0);
  if (f->delivered >= limit) {
    errno = EIO;
    return -1;
  }
  size_t left = static_cast<size_t>(limit - f->delivered);
  ssize_t n = kernelRead(f->fd, buffer, size < left ? size : left);
  if (n > 0) f->delivered += n;
  return n;
}

ssize_t cookieRead(void* cookie, char* buffer, size_t size) {
  return faultyRead(static_cast<FaultyFile*>(cookie), buffer, size);
}

int cookieClose(void* cookie) {
  FaultyFile* f = static_cast<FaultyFile*>(cookie);
  int result = static_cast<int>(syscall(SYS_close, f->fd));
  f->fd = -1;
  f->stream = nullptr;
  return result;
}

int openFile(const char* name, const char* path, int flags, mode_t mode) {
  if (named("QUARN_FAULT_OPEN", path)) {
    errno = EACCES;
    return -1;
  }
  if (named("QUARN_FAULT_READ", path)) {
    int fd = kernelOpen(path, flags, mode);
    if (fd >= 0) track(fd);
    return fd;
  }
  using Open = int (*)(const char*, int, ...);
  static Open real[2];
  return next(&real[strcmp(name, "open") == 0 ? 0 : 1], name)(path, flags, mode);
}

FILE* openStream(const char* name, const char* path, const char* mode) {
  if (named("QUARN_FAULT_OPEN", path)) {
    errno = EACCES;
    return nullptr;
  }
  if (named("QUARN_FAULT_READ", path)) {
    int fd = kernelOpen(path, O_RDONLY | O_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    FaultyFile* f = track(fd);
    cookie_io_functions_t io = {cookieRead, nullptr, nullptr, cookieClose};
    FILE* stream = f != nullptr ? fopencookie(f, mode, io) : nullptr;
    if (stream == nullptr) {
      syscall(SYS_close, fd);
      if (f != nullptr) f->fd = -1;
      errno = EMFILE;
      return nullptr;
    }
    f->stream = stream;
    return stream;
  }
  using Fopen = FILE* (*)(const char*, const char*);
  static Fopen real[2];
  return next(&real[strcmp(name, "fopen") == 0 ? 0 : 1], name)(path, mode);
}

mode_t modeOf(int flags, va_list args) {
  return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(args, int)) : 0;
}

// --- allocations of the program --------------------------------------------

// The address range of the main program's code, from its program headers.
uintptr_t programStart = 0, programEnd = 0;

int findProgram(struct dl_phdr_info* info, size_t, void*) {
  // The first object is the program itself.
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& segment = info->dlpi_phdr[i];
    if (segment.p_type != PT_LOAD || (segment.p_flags & PF_X) == 0) continue;
    uintptr_t start = info->dlpi_addr + segment.p_vaddr;
    if (programStart == 0 || start < programStart) programStart = start;
    if (start + segment.p_memsz > programEnd) programEnd = start + segment.p_memsz;
  }
  return 1;
}

bool fromProgram(void* caller) {
  if (programEnd == 0) dl_iterate_phdr(findProgram, nullptr);
  uintptr_t address = reinterpret_cast<uintptr_t>(caller);
  return address >= programStart && address < programEnd;
}

// While dlsym looks for the real malloc it may allocate: from here.
alignas(16) char early[4096];
size_t earlyUsed = 0;
bool resolving = false;

bool isEarly(void* p) {
  return static_cast<char*>(p) >= early && static_cast<char*>(p) < early + sizeof early;
}

using Malloc = void* (*)(size_t);
using Free = void (*)(void*);
Malloc realMalloc = nullptr;
Free realFree = nullptr;

void resolveAllocator() {
  resolving = true;
  realMalloc = reinterpret_cast<Malloc>(dlsym(RTLD_NEXT, "malloc"));
  realFree = reinterpret_cast<Free>(dlsym(RTLD_NEXT, "free"));
  resolving = false;
}

long programMallocs = 0;

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  mode_t mode = modeOf(flags, args);
  va_end(args);
  return openFile("open", path, flags, mode);
}

int open64(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  mode_t mode = modeOf(flags, args);
  va_end(args);
  return openFile("open64", path, flags, mode);
}

// What _FORTIFY_SOURCE calls instead of open without a mode.
int __open_2(const char* path, int flags) { return openFile("open", path, flags, 0); }
int __open64_2(const char* path, int flags) { return openFile("open64", path, flags, 0); }

FILE* fopen(const char* path, const char* mode) { return openStream("fopen", path, mode); }
FILE* fopen64(const char* path, const char* mode) { return openStream("fopen64", path, mode); }

ssize_t read(int fd, void* buffer, size_t size) {
  if (FaultyFile* f = findByFd(fd)) return faultyRead(f, buffer, size);
  using Read = ssize_t (*)(int, void*, size_t);
  static Read real;
  return next(&real, "read")(fd, buffer, size);
}

ssize_t __read_chk(int fd, void* buffer, size_t size, size_t bufferSize) {
  if (FaultyFile* f = findByFd(fd)) {
    return faultyRead(f, buffer, size < bufferSize ? size : bufferSize);
  }
  using ReadChk = ssize_t (*)(int, void*, size_t, size_t);
  static ReadChk real;
  return next(&real, "__read_chk")(fd, buffer, size, bufferSize);
}

int close(int fd) {
  if (FaultyFile* f = findByFd(fd)) f->fd = -1;
  using Close = int (*)(int);
  static Close real;
  return next(&real, "close")(fd);
}

// A cookie stream has no descriptor of its own: give the file's, so that
// fstat on it still tells a file from a directory.
int fileno(FILE* stream) {
  for (const FaultyFile& f : faulty) {
    if (f.stream != nullptr && f.stream == stream) return f.fd;
  }
  using Fileno = int (*)(FILE*);
  static Fileno real;
  return next(&real, "fileno")(stream);
}

void* malloc(size_t size) {
  if (realMalloc == nullptr) {
    if (resolving) {
      size_t rounded = (size + 15) & ~static_cast<size_t>(15);
      if (rounded > sizeof early - earlyUsed) return nullptr;
      void* p = early + earlyUsed;
      earlyUsed += rounded;
      return p;
    }
    resolveAllocator();
  }
  long allowed = number("QUARN_FAULT_MALLOC_AFTER", -1);
  if (allowed >= 0 && fromProgram(__builtin_return_address(0))) {
    if (programMallocs >= allowed) {
      errno = ENOMEM;
      return nullptr;
    }
    ++programMallocs;
  }
  return realMalloc(size);
}

void free(void* p) {
  if (p == nullptr || isEarly(p)) return;
  if (realFree == nullptr) resolveAllocator();
  realFree(p);
}

}  // extern "C"
