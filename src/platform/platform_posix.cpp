// POSIX implementation of the platform layer: plain system calls on descriptors.
#include "platform/platform.h"

#include <dirent.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <utility>

namespace tablemend {

namespace {

int Descriptor(const FileHandle& file) {
  return static_cast<int>(file.native);
}

bool OpenWithFlags(const std::string& path, int flags, FileHandle& file, mode_t mode = 0666) {
  FileHandle opened;
  do {
    opened.native = open(path.c_str(), flags | O_CLOEXEC, mode);
  } while (opened.native < 0 && errno == EINTR);
  if (opened.native < 0) {
    return false;
  }
  file = std::move(opened);
  return true;
}

bool IsSymbolicLink(const std::string& path) {
  struct stat status;
  return lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

// Owner and group where this user may give them, else the group alone; where neither may be
// given, the file stays this user's, as sed -i leaves it. False then.
bool GiveOwnerAndGroup(int descriptor, const struct stat& model) {
  return fchown(descriptor, model.st_uid, model.st_gid) == 0 ||
         fchown(descriptor, static_cast<uid_t>(-1), model.st_gid) == 0;
}

// The kind of a folder's entry, from the type the file system gave in the listing where it gave
// one; a link's, or an entry's of no given type, from the path.
EntryKind KindOfEntry(const std::string& path, unsigned char type) {
  if (type == DT_REG) {
    return EntryKind::kFile;
  }
  if (type == DT_DIR) {
    return EntryKind::kFolder;
  }
  struct stat status;
  if ((type != DT_LNK && type != DT_UNKNOWN) || lstat(path.c_str(), &status) != 0) {
    return EntryKind::kOther;
  }
  const bool link = S_ISLNK(status.st_mode);
  if (link && stat(path.c_str(), &status) != 0) {
    return EntryKind::kOther;
  }
  if (S_ISDIR(status.st_mode)) {
    return link ? EntryKind::kLinkToFolder : EntryKind::kFolder;
  }
  return S_ISREG(status.st_mode) ? EntryKind::kFile : EntryKind::kOther;
}

// The umask, read once: reading it means setting it, and no file is made meanwhile.
mode_t ProcessUmask() {
  static const mode_t mask = [] {
    const mode_t current = umask(0);
    umask(current);
    return current;
  }();
  return mask;
}

}  // namespace

PathKind QueryPathKind(const std::string& path) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0) {
    return PathKind::kMissing;
  }
  if (S_ISREG(status.st_mode)) {
    return PathKind::kRegularFile;
  }
  return S_ISDIR(status.st_mode) ? PathKind::kDirectory : PathKind::kOther;
}

bool PathDenotesAnyOf(const std::string& path, const std::vector<std::string>& others) {
  if (std::find(others.begin(), others.end(), path) != others.end()) {
    return true;
  }
  // A POSIX file system takes a name that does not exist yet as it is spelt: no other name of
  // the file is asked about then, which a first run's backup never has.
  struct stat status;
  if (stat(path.c_str(), &status) != 0) {
    return false;
  }
  return std::any_of(others.begin(), others.end(), [&](const std::string& other) {
    struct stat otherStatus;
    return stat(other.c_str(), &otherStatus) == 0 && status.st_dev == otherStatus.st_dev &&
           status.st_ino == otherStatus.st_ino && (IsSymbolicLink(path) || IsSymbolicLink(other));
  });
}

bool ReadLocalTime(std::tm& time) {
  const std::time_t now = std::time(nullptr);
  return now != static_cast<std::time_t>(-1) && localtime_r(&now, &time) != nullptr;
}

void OpenClosedStandardStreams() {
  // An open takes the lowest free descriptor: the closed one, in turn.
  for (int descriptor = 0; descriptor <= 2; ++descriptor) {
    if (fcntl(descriptor, F_GETFD) == -1 && errno == EBADF) {
      open("/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY);
    }
  }
}

void KeepFreedMemoryForReuse() {
#ifdef __GLIBC__
  // Buffers of up to 1 MiB from the heap rather than each its own mapping, and up to 64 MiB of
  // freed heap kept rather than trimmed.
  mallopt(M_MMAP_THRESHOLD, 1 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
}

void UseBinaryStandardOutput() {
  // A POSIX stream has no text mode.
}

bool ReadStandardInput(std::string& bytes) {
  char buffer[1 << 16];
  for (;;) {
    const ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) {
      continue;
    }
    if (count <= 0) {
      return count == 0;
    }
    bytes.append(buffer, static_cast<std::size_t>(count));
  }
}

bool PrintToConsoleWindow(std::string_view, ConsoleStream) {
  return false;
}

bool RenameFile(const std::string& from, const std::string& to, DeniedMeans) {
  // Never replaces an existing file, as on Windows: a backup, once made, holds the only copy of
  // the original text, and a status query that failed must not let a rename overwrite it.
#ifdef RENAME_NOREPLACE
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS) {
    return false;
  }
#endif
  // The file system cannot refuse a replacing rename: a second name that must be new, then the
  // first name goes. Where it stays, the second goes again: one file under two names would make
  // its backup the file that the next run writes over.
  if (link(from.c_str(), to.c_str()) != 0) {
    return false;
  }
  if (unlink(from.c_str()) == 0) {
    return true;
  }
  unlink(to.c_str());
  return false;
}

bool RenameOverFile(const std::string& from, const std::string& to, DeniedMeans) {
  return rename(from.c_str(), to.c_str()) == 0;
}

bool ExchangeFiles(const std::string& first, const std::string& second) {
#ifdef RENAME_EXCHANGE
  return renameat2(AT_FDCWD, first.c_str(), AT_FDCWD, second.c_str(), RENAME_EXCHANGE) == 0;
#else
  static_cast<void>(first);
  static_cast<void>(second);
  return false;
#endif
}

bool LinkFile(const std::string& from, const std::string& to, DeniedMeans) {
  return link(from.c_str(), to.c_str()) == 0;
}

bool RemoveFile(const std::string& path, DeniedMeans) {
  return unlink(path.c_str()) == 0;
}

bool FlushFolder(const std::string& folderPrefix) {
  FileHandle folder;
  return OpenWithFlags(folderPrefix.empty() ? "." : folderPrefix, O_RDONLY | O_DIRECTORY, folder) &&
         FlushToDisk(folder) && CloseFile(folder);
}

bool OpenForReading(const std::string& path, FileHandle& file) {
  return OpenWithFlags(path, O_RDONLY, file);
}

bool CreateFileLike(const std::string& path, const std::string& modelPath, FileHandle& file) {
  struct stat model;
  FileHandle created;
  // Made with the model's mode where the umask leaves it whole, as it mostly does; else private
  // until it has the model's mode, which a change of mode gives it whatever the umask.
  if (stat(modelPath.c_str(), &model) != 0) {
    return false;
  }
  const mode_t mode = model.st_mode & 0777;
  const bool narrowed = (mode & ~ProcessUmask()) != mode;
  if (!OpenWithFlags(path, O_WRONLY | O_CREAT | O_EXCL, created, narrowed ? 0600 : mode)) {
    return false;
  }
  const int descriptor = Descriptor(created);
  GiveOwnerAndGroup(descriptor, model);
  // A file that cannot have the script's mode is no file to put in the script's place.
  if (narrowed && fchmod(descriptor, mode) != 0) {
    CloseFile(created);
    unlink(path.c_str());
    return false;
  }
  file = std::move(created);
  return true;
}

bool OpenForReadingAndWriting(const std::string& path, FileHandle& file) {
  return OpenWithFlags(path, O_RDWR, file);
}

bool OpenForAppending(const std::string& path, FileHandle& file) {
  return OpenWithFlags(path, O_WRONLY | O_CREAT | O_APPEND, file);
}

bool MayWriteFile(const std::string& path) {
  FileHandle file;
  return OpenWithFlags(path, O_WRONLY, file);
}

bool GetFileLength(const FileHandle& file, std::int64_t& length) {
  struct stat status;
  if (fstat(Descriptor(file), &status) != 0) {
    return false;
  }
  length = status.st_size;
  return true;
}

std::ptrdiff_t ReadBytes(FileHandle& file, char* buffer, std::size_t capacity) {
  ssize_t count;
  do {
    count = read(Descriptor(file), buffer, capacity);
  } while (count < 0 && errno == EINTR);
  return count;
}

bool WriteBytes(FileHandle& file, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = write(Descriptor(file), data, size);
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

void StartFlushToDisk(FileHandle& file) {
#ifdef SYNC_FILE_RANGE_WRITE
  sync_file_range(Descriptor(file), 0, 0, SYNC_FILE_RANGE_WRITE);
#else
  static_cast<void>(file);
#endif
}

bool FlushToDisk(FileHandle& file) {
  return fsync(Descriptor(file)) == 0;
}

bool StartReadingAhead(const std::string& path, FilePart part) {
  // Only a regular file is opened: opening a FIFO or a device can itself do something.
  struct stat status;
  if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
    return false;
  }
#ifdef POSIX_FADV_WILLNEED
  // As much of the start as one read of a conversion takes; of the end, its last block.
  constexpr off_t kStartLength = 128 * 1024;
  const off_t block = status.st_blksize > 0 ? status.st_blksize : 4096;
  // An empty file's end is at 0: -1 / block is 0, as division truncates toward zero.
  const off_t offset = part == FilePart::kStart ? 0 : (status.st_size - 1) / block * block;
  const off_t length = part == FilePart::kStart ? kStartLength : block;
  const int file = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (file >= 0) {
    posix_fadvise(file, offset, length, POSIX_FADV_WILLNEED);
    close(file);
  }
#else
  static_cast<void>(part);
#endif
  return true;
}

bool CloseFile(FileHandle& file) {
  if (!IsOpen(file)) {
    return true;
  }
  // After close() fails the descriptor is gone all the same (Linux, and POSIX leaves it open to
  // the system): never retry, which could close a descriptor opened meanwhile.
  const bool closed = close(Descriptor(file)) == 0;
  file.native = -1;
  return closed;
}

bool GetLastWriteTime(const FileHandle& file, FileTime& time) {
  struct stat status;
  if (!IsOpen(file) || fstat(Descriptor(file), &status) != 0) {
    return false;
  }
  time.whole = status.st_mtim.tv_sec;
  time.fraction = status.st_mtim.tv_nsec;
  return true;
}

bool SetLastWriteTimeToNow(const std::string& path) {
  // The kernel's own clock, the one it stamps every write with, so the stamp can never fall
  // before the rc file's last write. Setting one time is the owner's right, whatever the mode;
  // the last-access time is left alone.
  const timespec times[2] = {{0, UTIME_OMIT}, {0, UTIME_NOW}};
  if (utimensat(AT_FDCWD, path.c_str(), times, 0) == 0) {
    return true;
  }
  // Anyone who may write a file may set both its times to now: a shared backup of another
  // user's, say.
  return errno == EPERM && utimensat(AT_FDCWD, path.c_str(), nullptr, 0) == 0;
}

std::string_view PathSeparators() {
  return "/";
}

char PreferredSeparator() {
  return '/';
}

int CompareFileNames(std::string_view first, std::string_view second) {
  return first.compare(second);
}

bool ListsBefore(std::string_view first, std::string_view second) {
  return first < second;
}

std::string WithSlashes(std::string path) {
  return path;
}

bool ListFolderEntries(const std::string& folderPrefix, std::vector<FolderEntry>& entries) {
  const std::unique_ptr<DIR, int (*)(DIR*)> folder(
      opendir(folderPrefix.empty() ? "." : folderPrefix.c_str()), closedir);
  if (!folder) {
    return false;
  }
  while (const dirent* entry = readdir(folder.get())) {
    entries.push_back({entry->d_name, KindOfEntry(folderPrefix + entry->d_name, entry->d_type)});
  }
  return true;
}

}  // namespace tablemend
