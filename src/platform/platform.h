// The thin layer over the operating system: path status, rename, raw file I/O and file times.
// One implementation per platform (platform_posix.cpp, platform_windows.cpp) stands behind this
// header; everything above it is shared, so the files on disk are the same on every platform.
#ifndef TABLEMEND_PLATFORM_PLATFORM_H
#define TABLEMEND_PLATFORM_PLATFORM_H

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace tablemend {

// What a status query of a path found there.
enum class PathKind { kMissing, kRegularFile, kDirectory, kOther };

PathKind QueryPathKind(const std::string& path);

// True when a status query of the path succeeds, for a file or a directory alike.
bool FileExists(const std::string& path);

// True when `path` would name the same file as any of `others`: the same name, a symbolic link to
// the other, and on Windows also names that Windows resolves alike (a trailing dot dropped, case
// not counting), where neither needs to exist. Two names of one file (hard links) are two names:
// the program never writes a file in place, and a killed first run leaves its script and backup
// so. The program asks it of names in one folder.
bool PathDenotesAnyOf(const std::string& path, const std::vector<std::string>& others);

// The characters that separate folders in a path: '/', and on Windows also '\' and ':'.
std::string_view PathSeparators();

// The separator the platform's own tools put between folders: '/', or '\' on Windows.
char PreferredSeparator();

// Where the last component of a path starts: after its last separator, or at 0.
std::size_t FindLastComponent(std::string_view path);

// Orders two file names (UTF-8) as the file system tells names apart: byte by byte on POSIX
// systems, and on Windows regardless of case, as its file systems compare them. Less than zero,
// zero or greater than zero as the first comes before, is the same name as, or comes after the
// second.
int CompareFileNames(std::string_view first, std::string_view second);

// True when the first name comes before the second in a listing: as the file system compares
// them, and where it takes them for one name (Windows: case apart), as their bytes do.
bool ListsBefore(std::string_view first, std::string_view second);

// The path with "/" between its folders, as git and patch name files on every system.
std::string WithSlashes(std::string path);

// What an entry of a folder is. A symbolic link (on Windows, also a junction or another reparse
// point) counts as what it leads to, but for one to a folder, which a walk must not follow: a
// tree would then be walked twice, or without end.
enum class EntryKind { kFile, kFolder, kLinkToFolder, kOther };

struct FolderEntry {
  std::string name;
  EntryKind kind;
};

// The entries of a folder, "." and ".." among them, in no set order. The folder is given as a
// path prefix, as typed before a name: empty for the current folder, or ending in a separator
// ("res/"; on Windows also "res\" or "C:"). False when it cannot be listed.
bool ListFolderEntries(const std::string& folderPrefix, std::vector<FolderEntry>& entries);

// The names of the entries of a folder that are not folders, nor links to folders, in no set
// order; the folder as for ListFolderEntries.
bool ListFolderFiles(const std::string& folderPrefix, std::vector<std::string>& names);

// The current time in the platform's local time zone (with whatever the platform takes from its
// environment for it); false when the system cannot give it.
bool ReadLocalTime(std::tm& time);

// Opens the null device on standard input, output and error where the caller left them closed
// (POSIX): a file the run opens would take their place, and the console's messages would land in
// the rc file or its log.
void OpenClosedStandardStreams();

// Keeps the memory that a file's run frees for the next run, where the C library would hand it
// back to the system: the text buffers of each file would otherwise come back as fresh pages,
// each a page fault, which costs a call over many small scripts more than the rest of its work.
void KeepFreedMemoryForReuse();

enum class ConsoleStream { kOutput, kError };

// Makes standard output take bytes as they are: on Windows its C library would otherwise write a
// line feed as CR LF, and a CR LF as CR CR LF.
void UseBinaryStandardOutput();

// Reads standard input to its end, byte for byte (binary on Windows too); false when a read
// fails.
bool ReadStandardInput(std::string& bytes);

// Writes UTF-8 text to standard output or error as characters when that stream is a Windows
// console, which shows no UTF-8 bytes as such; false, with nothing written, when it is none
// (always on POSIX systems, whose terminals take UTF-8).
bool PrintToConsoleWindow(std::string_view text, ConsoleStream stream);

// What Windows means when it refuses a rename, link or removal with access denied: a missing
// permission, or, where the run has already made a file in that folder (so that it may write
// there), a file that another program holds open, as Wine reports one. A sharing or lock
// violation always means a file in use. A step refused for a file in use is tried again, about
// every 100 ms for up to 2 s, as editors, indexers and virus scanners hold files for moments; on
// POSIX systems, which refuse no step for that, it changes nothing.
enum class DeniedMeans { kNoPermission, kFileInUse };

// Moves a file to a new name in the same file system; false when the system refuses, and when a
// file of the new name exists already.
bool RenameFile(const std::string& from, const std::string& to, DeniedMeans denied);

// Moves a file to a name in the same folder in one step, replacing the file of that name, even a
// read-only one (whose attribute, on Windows, stays with it under any other name it has); the
// move is on disk when it returns on Windows, and once the folder is flushed on POSIX systems.
// False when the system refuses.
bool RenameOverFile(const std::string& from, const std::string& to, DeniedMeans denied);

// Swaps the files that two names in the same folder give, in one step: each name then gives the
// other file (Linux: whoever opens either name finds one file or the other, whole). A file
// replaced so is not freed by the swap, which some file systems (ext4 without a journal) make
// costly for every file created soon after. False, with nothing done, where the system cannot.
bool ExchangeFiles(const std::string& first, const std::string& second);

// Gives a file a second name in the same folder; false when a file of that name exists, or the
// file system has no hard links (FAT, some network shares).
bool LinkFile(const std::string& from, const std::string& to, DeniedMeans denied);

// Removes a file's name, even a read-only file's (whose attribute, on Windows, stays with it
// under any other name it has).
bool RemoveFile(const std::string& path, DeniedMeans denied);

// Makes the renames, links and removals made in a folder (given as a path prefix, as for
// ListFolderFiles) survive a power cut: the POSIX folder is flushed; on Windows the renames
// wrote through already.
bool FlushFolder(const std::string& folderPrefix);

// An open file, closed when it goes out of scope. The value is a descriptor on POSIX and a
// HANDLE on Windows; -1 means none on both.
struct FileHandle {
  std::intptr_t native = -1;

  FileHandle() = default;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  FileHandle(FileHandle&& other) noexcept;
  FileHandle& operator=(FileHandle&& other) noexcept;
  ~FileHandle();
};

bool IsOpen(const FileHandle& file);

// Binary opens: no translation of any byte happens below the text stream. Other programs may
// go on reading, writing and renaming a file this program holds open for reading.
bool OpenForReading(const std::string& path, FileHandle& file);
// Creates a new file for writing, never one that exists, with the permissions of the file at
// `modelPath`: on POSIX systems its permission bits, whatever the umask, and its owner and group
// where the system allows it (as sed -i keeps them); on Windows its read-only attribute, the
// handle writing all the same. False when the file exists already or cannot be made so.
bool CreateFileLike(const std::string& path, const std::string& modelPath, FileHandle& file);
// Opens a file that must exist for reading and writing, without cutting it or changing its times.
bool OpenForReadingAndWriting(const std::string& path, FileHandle& file);
// Opens for appending at the end, creating the file when missing; never truncates.
bool OpenForAppending(const std::string& path, FileHandle& file);

// True when this user may write the contents of the file, which must exist: tells, before
// anything is written, without cutting it or changing its times. A file that another program
// holds open on Windows may be written for all this tells: the step that replaces it waits.
bool MayWriteFile(const std::string& path);

// The length of an open file in bytes; false when the system cannot tell.
bool GetFileLength(const FileHandle& file, std::int64_t& length);

// Reads up to `capacity` bytes; returns the count, 0 at the end of the file, -1 on an error.
std::ptrdiff_t ReadBytes(FileHandle& file, char* buffer, std::size_t capacity);
// Writes all `size` bytes, retrying short writes; false when the system fails.
bool WriteBytes(FileHandle& file, const char* data, std::size_t size);
// Starts writing what was written to the file out to disk, without waiting for it (Linux; no
// step elsewhere): the flush that follows finds it done, and the flushes of many files started so
// are committed to the file system's journal together rather than one commit each. A failure
// shows in that flush.
void StartFlushToDisk(FileHandle& file);
// Waits until what was written to the file is on disk; false when the system reports a failure.
bool FlushToDisk(FileHandle& file);

// Which part of a file a read-ahead asks for: the start a conversion reads first, or the last
// block, which appending to the file reads back before it writes.
enum class FilePart { kStart, kEnd };
// Asks the system to start reading that part of the regular file at `path` into memory, without
// waiting for it, so that a read or an append soon after finds it there rather than waiting on
// the disk; false where there is no regular file at `path`. Linux only: Windows reads ahead of
// its own, and there this asks for nothing and returns true.
bool StartReadingAhead(const std::string& path, FilePart part);

// Closes the file; false when the system reports a failure (a delayed write error, say).
bool CloseFile(FileHandle& file);

// A file's last-write time at the full resolution the platform keeps; only ever compared.
struct FileTime {
  std::int64_t whole = 0;     // seconds on POSIX; 100-nanosecond units since 1601 on Windows
  std::int64_t fraction = 0;  // nanoseconds on POSIX; always 0 on Windows
};

// Reads the last-write time of an open file; false when the system cannot (or the file is not
// open, as when opening it failed).
bool GetLastWriteTime(const FileHandle& file, FileTime& time);
// Sets a file's last-write time to the current time, at the platform's full resolution, without
// the right to write its contents: a read-only file of this user's is stamped, and its bytes,
// mode and attributes end as they were. False when the system refuses.
bool SetLastWriteTimeToNow(const std::string& path);
// True when the first time is later than the second.
bool IsLaterThan(const FileTime& first, const FileTime& second);

}  // namespace tablemend

#endif
