// Preloaded into the program to fail its file operations one at a time. Every open, read, write,
// flush, close, rename, link, unlink, mode change, status query and time change on a file counts;
// with FAULT_AT=n the n-th of them fails (or, with FAULT_KILL=1, the process dies there by
// SIGKILL), and FAULT_COUNT=file receives the number of operations the run made. The console's
// descriptors do not count. FAULT_NO_NOREPLACE=1 makes the file system one that cannot refuse a
// replacing rename (renameat2 with RENAME_NOREPLACE fails with EINVAL), as some can't, and
// FAULT_SHORT_READS=1 and FAULT_SHORT_WRITES=1 make every read or write of a file take one byte
// at most, as a read or a write may stop anywhere on pipes and network file systems.
// FAULT_RECORD=file receives a line for each open, write, flush, close, rename (or exchange), link
// and unlink that succeeded, for a checker of what a power cut would leave.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

static long operations;

static int IsSet(const char* name) {
  const char* value = getenv(name);
  return value != NULL && *value != '\0';
}

// True when this operation is the one to fail.
static int Fails(int errorNumber) {
  const char* at = getenv("FAULT_AT");
  if (++operations != (at != NULL ? atol(at) : 0)) {
    return 0;
  }
  if (IsSet("FAULT_KILL")) {
    raise(SIGKILL);
  }
  errno = errorNumber;
  return 1;
}

__attribute__((destructor)) static void ReportCount(void) {
  const char* path = getenv("FAULT_COUNT");
  FILE* file = path != NULL ? fopen(path, "w") : NULL;
  if (file != NULL) {
    fprintf(file, "%ld\n", operations);
    fclose(file);
  }
}

// The function the program would have called; __extension__: POSIX lets dlsym name functions.
#define REAL(name) (__extension__(__typeof__(&name)) dlsym(RTLD_NEXT, #name))
#define ON_FILE(fd, errorNumber) ((fd) > 2 && Fails(errorNumber))

// Appends an operation to the record, when one is asked for, and returns its result.
__attribute__((format(printf, 2, 3))) static long Recorded(long result, const char* format, ...) {
  static int record = -1;
  const char* path = getenv("FAULT_RECORD");
  if (result < 0 || path == NULL) {
    return result;
  }
  if (record < 0) {
    record = REAL(open)(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  }
  va_list rest;
  va_start(rest, format);
  vdprintf(record, format, rest);
  va_end(rest);
  return result;
}

int open(const char* path, int flags, ...) {
  va_list rest;
  va_start(rest, flags);
  const mode_t mode = (flags & O_CREAT) != 0 ? va_arg(rest, mode_t) : 0;
  va_end(rest);
  const int fd = Fails(EACCES) ? -1 : REAL(open)(path, flags, mode);
  return (int)Recorded(fd, "open %d %d %s\n", fd, flags, path);
}
ssize_t read(int fd, void* buffer, size_t size) {
  const size_t allowed = fd > 2 && IsSet("FAULT_SHORT_READS") && size > 1 ? 1 : size;
  return ON_FILE(fd, EIO) ? -1 : REAL(read)(fd, buffer, allowed);
}
ssize_t write(int fd, const void* data, size_t size) {
  const size_t allowed = fd > 2 && IsSet("FAULT_SHORT_WRITES") && size > 1 ? 1 : size;
  const ssize_t written = ON_FILE(fd, ENOSPC) ? -1 : REAL(write)(fd, data, allowed);
  return fd > 2 ? Recorded(written, "write %d %zd\n", fd, written) : written;
}
// FAULT_FLUSH_FAILED=file is made when the flush to fail is the one this call made.
int fsync(int fd) {
  const int failed = ON_FILE(fd, EIO);
  if (failed && IsSet("FAULT_FLUSH_FAILED")) {
    REAL(close)(REAL(open)(getenv("FAULT_FLUSH_FAILED"), O_WRONLY | O_CREAT, 0644));
  }
  return (int)Recorded(failed ? -1 : REAL(fsync)(fd), "fsync %d\n", fd);
}
int close(int fd) {
  const int closed = ON_FILE(fd, EIO) ? -1 : REAL(close)(fd);
  return fd > 2 ? (int)Recorded(closed, "close %d\n", fd) : closed;
}
int rename(const char* from, const char* to) {
  return (int)Recorded(Fails(EACCES) ? -1 : REAL(rename)(from, to), "rename %s %s\n", from, to);
}
int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned flags) {
  if (Fails(EACCES) || IsSet("FAULT_NO_NOREPLACE")) {
    errno = IsSet("FAULT_NO_NOREPLACE") ? EINVAL : EACCES;
    return -1;
  }
  return (int)Recorded(REAL(renameat2)(fromFolder, from, toFolder, to, flags), "%s %s %s\n",
                       (flags & RENAME_EXCHANGE) != 0 ? "exchange" : "rename", from, to);
}
int link(const char* from, const char* to) {
  return (int)Recorded(Fails(EACCES) ? -1 : REAL(link)(from, to), "link %s %s\n", from, to);
}
int unlink(const char* path) {
  return (int)Recorded(Fails(EACCES) ? -1 : REAL(unlink)(path), "unlink %s\n", path);
}
int fchmod(int fd, mode_t mode) {
  return ON_FILE(fd, EPERM) ? -1 : REAL(fchmod)(fd, mode);
}
int stat(const char* path, struct stat* status) {
  return Fails(EACCES) ? -1 : REAL(stat)(path, status);
}
int fstat(int fd, struct stat* status) {
  return ON_FILE(fd, EIO) ? -1 : REAL(fstat)(fd, status);
}
int utimensat(int folder, const char* path, const struct timespec times[2], int flags) {
  return Fails(EACCES) ? -1 : REAL(utimensat)(folder, path, times, flags);
}
