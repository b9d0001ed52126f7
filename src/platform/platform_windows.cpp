// Windows implementation of the platform layer: KERNEL32 calls on handles. Paths come in as
// UTF-8 (WTF-8 where a name holds a lone surrogate) and go to the wide-character functions, so
// that any name Windows allows, of any length, reaches the file system as it was typed.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <utility>

#include "platform/platform.h"
#include "unicode/unicode.h"

namespace tablemend {

namespace {

HANDLE NativeHandle(const FileHandle& file) {
  return reinterpret_cast<HANDLE>(file.native);
}

std::wstring Widen(const std::string& path) {
  const std::u16string units = DecodeUtf8(path);
  return std::wstring(units.begin(), units.end());
}

// The absolute form of a path as Windows resolves it: "." and ".." folded, slashes turned into
// backslashes, and trailing dots and spaces of the last name dropped, as the file system does.
// Empty when it cannot be had.
std::wstring FullPathName(const std::wstring& path) {
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) {
    return std::wstring();
  }
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), needed, &full[0], nullptr);
  if (length == 0 || length >= needed) {
    return std::wstring();
  }
  full.resize(length);
  return full;
}

// The path as the wide-character functions take it. A path whose absolute form the system would
// refuse for its length gets that form with the prefix \\?\ that lifts the limit (\\?\UNC\ for
// a network path); any other path goes as given, so ordinary paths behave as they always have,
// and so does one that carries a prefix of its own.
std::wstring WidePath(const std::string& path) {
  const std::wstring wide = Widen(path);
  const std::wstring full = FullPathName(wide);
  if (full.size() < MAX_PATH || wide.rfind(L"\\\\?\\", 0) == 0 || wide.rfind(L"\\\\.\\", 0) == 0) {
    return wide;
  }
  if (full.rfind(L"\\\\", 0) == 0) {
    return L"\\\\?\\UNC\\" + full.substr(2);
  }
  return L"\\\\?\\" + full;
}

bool OpenWithCreateFile(const std::string& path, DWORD access, DWORD disposition, FileHandle& file,
                        DWORD attributes = FILE_ATTRIBUTE_NORMAL,
                        DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE) {
  // Others may read and write the file meanwhile, as with any file an editor has open.
  const HANDLE handle = CreateFileW(WidePath(path).c_str(), access, sharing, nullptr, disposition,
                                    attributes, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return false;
  }
  FileHandle opened;
  opened.native = reinterpret_cast<std::intptr_t>(handle);
  file = std::move(opened);
  return true;
}

// The volume and index that name a file whatever path leads to it; false when it cannot be had.
bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& information) {
  const HANDLE handle =
      CreateFileW(WidePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return false;
  }
  const bool known = GetFileInformationByHandle(handle, &information) != 0;
  CloseHandle(handle);
  return known;
}

// A symbolic link, or another name that the system resolves to a file elsewhere.
bool IsReparsePoint(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// True when the path, which is not a folder, leads to a file on a disk rather than a device
// (CON, NUL, COM1) or a pipe.
bool IsDiskFile(const std::string& path) {
  const HANDLE handle = CreateFileW(WidePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    // A file this user may not open is still a file: the opens that follow report it.
    return GetLastError() == ERROR_ACCESS_DENIED || GetLastError() == ERROR_SHARING_VIOLATION;
  }
  const bool onDisk = GetFileType(handle) == FILE_TYPE_DISK;
  CloseHandle(handle);
  return onDisk;
}

DWORD WithoutReadOnly(DWORD attributes) {
  const DWORD writable = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
  return writable != 0 ? writable : FILE_ATTRIBUTE_NORMAL;
}

bool SetAttributesThrough(HANDLE file, DWORD attributes) {
  FILE_BASIC_INFO information{};  // times of zero stay as they are
  information.FileAttributes = attributes;
  return SetFileInformationByHandle(file, FileBasicInfo, &information, sizeof information) != 0;
}

// Runs the step on a read-only file with its attribute lifted, and sets it again after: through a
// handle, so that the file keeps it under any other name it has (a backup made by a hard link)
// once the step took this one; where no handle may write a read-only file's attributes (Wine),
// by its name, where that still names a file. False, without the step, where the file is not
// read-only.
bool WithReadOnlyLifted(const std::wstring& path, const std::function<bool()>& step) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) == 0) {
    return false;
  }
  const HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    const bool done = SetAttributesThrough(file, WithoutReadOnly(attributes)) && step();
    SetAttributesThrough(file, attributes);
    CloseHandle(file);
    return done;
  }
  if (SetFileAttributesW(path.c_str(), WithoutReadOnly(attributes)) == 0) {
    return false;
  }
  const bool done = step();
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
    SetFileAttributesW(path.c_str(), attributes);
  }
  return done;
}

// The outcome of a rename, link or removal: ERROR_SUCCESS, or the error that refused it, read
// before any other call can change it.
DWORD Attempt(const std::function<bool()>& step) {
  return step() ? ERROR_SUCCESS : GetLastError();
}

// A step on a file that may be read-only, which Windows refuses as it stands: tried again with
// the attribute lifted when it was denied. The error is the last attempt's.
DWORD AttemptLiftingReadOnly(const std::wstring& path, const std::function<bool()>& step) {
  const DWORD error = Attempt(step);
  if (error != ERROR_ACCESS_DENIED) {
    return error;
  }
  DWORD lifted = error;
  WithReadOnlyLifted(path, [&] {
    lifted = Attempt(step);
    return lifted == ERROR_SUCCESS;
  });
  return lifted;
}

bool RefusedForFileInUse(DWORD error, DeniedMeans denied) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         (error == ERROR_ACCESS_DENIED && denied == DeniedMeans::kFileInUse);
}

// How often, and for how long, a step refused for a file in use is tried again.
constexpr DWORD kInUseRetryInterval = 100;  // milliseconds
constexpr ULONGLONG kInUseRetryPeriod = 2000;

// Runs the attempt, and again while another program holds the file, for up to kInUseRetryPeriod;
// true once it succeeds. A refusal for anything else stands at once.
bool RetryWhileInUse(DeniedMeans denied, const std::function<DWORD()>& attempt) {
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    const DWORD error = attempt();
    if (error == ERROR_SUCCESS) {
      return true;
    }
    if (!RefusedForFileInUse(error, denied) || GetTickCount64() - start >= kInUseRetryPeriod) {
      SetLastError(error);
      return false;
    }
    Sleep(kInUseRetryInterval);
  }
}

// Sets the last-write time through a handle that may write attributes alone, which a read-only
// file allows. Taken as a file time directly, at the clock's full resolution: a time cut to
// whole milliseconds could fall before the rc file's last write of this very run.
bool StampOpenedForAttributes(const std::string& path) {
  FileHandle file;
  if (!OpenWithCreateFile(path, FILE_WRITE_ATTRIBUTES, OPEN_EXISTING, file)) {
    return false;
  }
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const bool stamped = SetFileTime(NativeHandle(file), nullptr, nullptr, &now) != 0;
  return CloseFile(file) && stamped;
}

// True when both paths would name one file (see PathDenotesAnyOf).
bool PathsDenoteSameFile(const std::string& first, const std::string& second) {
  const std::wstring firstFull = FullPathName(Widen(first));
  const std::wstring secondFull = FullPathName(Widen(second));
  // Names differing only in case are one file on Windows file systems.
  if (!firstFull.empty() && CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, firstFull.c_str(), -1,
                                           secondFull.c_str(), -1) == CSTR_EQUAL) {
    return true;
  }
  BY_HANDLE_FILE_INFORMATION firstInformation;
  BY_HANDLE_FILE_INFORMATION secondInformation;
  return FileIdentity(first, firstInformation) && FileIdentity(second, secondInformation) &&
         firstInformation.dwVolumeSerialNumber == secondInformation.dwVolumeSerialNumber &&
         firstInformation.nFileIndexHigh == secondInformation.nFileIndexHigh &&
         firstInformation.nFileIndexLow == secondInformation.nFileIndexLow &&
         (IsReparsePoint(first) || IsReparsePoint(second));
}

}  // namespace

PathKind QueryPathKind(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return PathKind::kMissing;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return PathKind::kDirectory;
  }
  return IsDiskFile(path) ? PathKind::kRegularFile : PathKind::kOther;
}

bool PathDenotesAnyOf(const std::string& path, const std::vector<std::string>& others) {
  return std::any_of(others.begin(), others.end(), [&path](const std::string& other) {
    return PathsDenoteSameFile(path, other);
  });
}

bool ReadLocalTime(std::tm& time) {
  const std::time_t now = std::time(nullptr);
  return now != static_cast<std::time_t>(-1) && localtime_s(&time, &now) == 0;
}

void OpenClosedStandardStreams() {
  // Windows files are handles apart from the standard ones: nothing to do.
}

void KeepFreedMemoryForReuse() {
  // The Windows heap keeps what is freed for the next allocation as it is.
}

void UseBinaryStandardOutput() {
  std::fflush(stdout);
  _setmode(_fileno(stdout), _O_BINARY);
}

bool ReadStandardInput(std::string& bytes) {
  // The handle itself, past the C library's text mode, so that CR LF and UTF-16 arrive as sent.
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  char buffer[1 << 16];
  for (;;) {
    DWORD count = 0;
    if (ReadFile(input, buffer, sizeof buffer, &count, nullptr) == 0) {
      return GetLastError() == ERROR_BROKEN_PIPE;  // the writer closed its end
    }
    if (count == 0) {
      return true;
    }
    bytes.append(buffer, count);
  }
}

bool PrintToConsoleWindow(std::string_view text, ConsoleStream stream) {
  const HANDLE output =
      GetStdHandle(stream == ConsoleStream::kError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (output == INVALID_HANDLE_VALUE || GetConsoleMode(output, &mode) == 0) {
    return false;
  }
  // What the C library holds back goes first, to keep the order of the lines.
  std::fflush(stdout);
  const std::u16string characters = DecodeUtf8(text);
  DWORD written = 0;
  return WriteConsoleW(output, characters.data(), static_cast<DWORD>(characters.size()), &written,
                       nullptr) != 0;
}

bool RenameFile(const std::string& from, const std::string& to, DeniedMeans denied) {
  const std::wstring wideFrom = WidePath(from);
  const std::wstring wideTo = WidePath(to);
  // Never replaces an existing file: a backup, once made, is not overwritten.
  return RetryWhileInUse(denied, [&] {
    return Attempt([&] { return MoveFileW(wideFrom.c_str(), wideTo.c_str()) != 0; });
  });
}

bool RenameOverFile(const std::string& from, const std::string& to, DeniedMeans denied) {
  const std::wstring wideFrom = WidePath(from);
  const std::wstring wideTo = WidePath(to);
  // On disk when it returns: no folder to flush after it.
  return RetryWhileInUse(denied, [&] {
    return AttemptLiftingReadOnly(wideTo, [&] {
      return MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    });
  });
}

bool ExchangeFiles(const std::string&, const std::string&) {
  // No such step: the replacing move frees nothing that costs the files made after it.
  return false;
}

bool LinkFile(const std::string& from, const std::string& to, DeniedMeans denied) {
  const std::wstring wideFrom = WidePath(from);
  const std::wstring wideTo = WidePath(to);
  return RetryWhileInUse(denied, [&] {
    return Attempt([&] { return CreateHardLinkW(wideTo.c_str(), wideFrom.c_str(), nullptr) != 0; });
  });
}

bool RemoveFile(const std::string& path, DeniedMeans denied) {
  const std::wstring widePath = WidePath(path);
  return RetryWhileInUse(denied, [&] {
    return AttemptLiftingReadOnly(widePath, [&] { return DeleteFileW(widePath.c_str()) != 0; });
  });
}

bool FlushFolder(const std::string&) {
  return true;
}

bool OpenForReading(const std::string& path, FileHandle& file) {
  // A file read may also be renamed meanwhile: a first run keeps its script open from the look at
  // its format to the end of its conversion, and gives it the backup's name between.
  return OpenWithCreateFile(path, GENERIC_READ, OPEN_EXISTING, file, FILE_ATTRIBUTE_NORMAL,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
}

bool CreateFileLike(const std::string& path, const std::string& modelPath, FileHandle& file) {
  // A new file may be made read-only at once: the handle that made it still writes.
  const DWORD model = GetFileAttributesW(WidePath(modelPath).c_str());
  if (model == INVALID_FILE_ATTRIBUTES) {
    return false;
  }
  const DWORD attributes =
      (model & FILE_ATTRIBUTE_READONLY) != 0 ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL;
  return OpenWithCreateFile(path, GENERIC_WRITE, CREATE_NEW, file, attributes);
}

bool OpenForReadingAndWriting(const std::string& path, FileHandle& file) {
  return OpenWithCreateFile(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING, file);
}

bool OpenForAppending(const std::string& path, FileHandle& file) {
  // Append access alone makes every write land at the end, as O_APPEND does.
  return OpenWithCreateFile(path, FILE_APPEND_DATA, OPEN_ALWAYS, file);
}

bool MayWriteFile(const std::string& path) {
  FileHandle file;
  return OpenWithCreateFile(path, GENERIC_WRITE, OPEN_EXISTING, file) ||
         RefusedForFileInUse(GetLastError(), DeniedMeans::kNoPermission);
}

bool GetFileLength(const FileHandle& file, std::int64_t& length) {
  LARGE_INTEGER size;
  if (GetFileSizeEx(NativeHandle(file), &size) == 0) {
    return false;
  }
  length = size.QuadPart;
  return true;
}

std::ptrdiff_t ReadBytes(FileHandle& file, char* buffer, std::size_t capacity) {
  const DWORD request = static_cast<DWORD>(std::min<std::size_t>(capacity, 1u << 30));
  DWORD count = 0;
  if (ReadFile(NativeHandle(file), buffer, request, &count, nullptr) == 0) {
    return GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
  }
  return static_cast<std::ptrdiff_t>(count);
}

bool WriteBytes(FileHandle& file, const char* data, std::size_t size) {
  while (size > 0) {
    const DWORD request = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    DWORD written = 0;
    if (WriteFile(NativeHandle(file), data, request, &written, nullptr) == 0 || written == 0) {
      return false;
    }
    data += written;
    size -= written;
  }
  return true;
}

void StartFlushToDisk(FileHandle&) {
  // Windows has no such step: each file's flush writes it, as it always did.
}

bool FlushToDisk(FileHandle& file) {
  return FlushFileBuffers(NativeHandle(file)) != 0;
}

bool StartReadingAhead(const std::string&, FilePart) {
  // Windows reads ahead of its own; the program asks it for nothing.
  return true;
}

bool CloseFile(FileHandle& file) {
  if (!IsOpen(file)) {
    return true;
  }
  const bool closed = CloseHandle(NativeHandle(file)) != 0;
  file.native = -1;
  return closed;
}

bool GetLastWriteTime(const FileHandle& file, FileTime& time) {
  FILETIME lastWrite;
  if (!IsOpen(file) || GetFileTime(NativeHandle(file), nullptr, nullptr, &lastWrite) == 0) {
    return false;
  }
  ULARGE_INTEGER value;
  value.LowPart = lastWrite.dwLowDateTime;
  value.HighPart = lastWrite.dwHighDateTime;
  time.whole = static_cast<std::int64_t>(value.QuadPart);
  time.fraction = 0;
  return true;
}

bool SetLastWriteTimeToNow(const std::string& path) {
  // Some file systems, and Wine, refuse even attribute writing on a read-only file: the
  // attribute is lifted for the stamp alone.
  const auto stamp = [&path] { return StampOpenedForAttributes(path); };
  return stamp() || WithReadOnlyLifted(WidePath(path), stamp);
}

std::string_view PathSeparators() {
  return "/\\:";
}

char PreferredSeparator() {
  return '\\';
}

int CompareFileNames(std::string_view first, std::string_view second) {
  const std::u16string firstUnits = DecodeUtf8(first);
  const std::u16string secondUnits = DecodeUtf8(second);
  // Ordinal, with the file system's simple upper-casing, not a language's collation.
  const int order = CompareStringOrdinal(reinterpret_cast<const wchar_t*>(firstUnits.data()),
                                         static_cast<int>(firstUnits.size()),
                                         reinterpret_cast<const wchar_t*>(secondUnits.data()),
                                         static_cast<int>(secondUnits.size()), TRUE);
  return order - CSTR_EQUAL;
}

bool ListsBefore(std::string_view first, std::string_view second) {
  const int order = CompareFileNames(first, second);
  return order != 0 ? order < 0 : first < second;
}

std::string WithSlashes(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

bool ListFolderEntries(const std::string& folderPrefix, std::vector<FolderEntry>& entries) {
  // The basic information leaves the 8.3 short names out; the caller matches the long ones.
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileExW(WidePath(folderPrefix + "*").c_str(), FindExInfoBasic,
                                         &found, FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) {
    return GetLastError() == ERROR_FILE_NOT_FOUND;
  }
  do {
    // A junction or a symbolic link to a folder is a folder with a reparse point.
    const DWORD attributes = found.dwFileAttributes;
    const EntryKind kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ? EntryKind::kFile
                           : (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0
                               ? EntryKind::kLinkToFolder
                               : EntryKind::kFolder;
    entries.push_back(
        {EncodeUtf8(reinterpret_cast<const char16_t*>(found.cFileName), LoneSurrogates::kKeep),
         kind});
  } while (FindNextFileW(search, &found) != 0);
  const bool listed = GetLastError() == ERROR_NO_MORE_FILES;
  FindClose(search);
  return listed;
}

}  // namespace tablemend
