// The parts of the platform layer that are the same on every platform: the last component of a
// path, the existence test built on the status query, the files among a folder's entries, the
// ownership of an open file, which moves, and is closed when its owner goes out of scope (both
// platforms mark "no file" with -1), and the order of two file times.
#include "platform/platform.h"

#include <tuple>
#include <utility>

namespace tablemend {

std::size_t FindLastComponent(std::string_view path) {
  const std::size_t separator = path.find_last_of(PathSeparators());
  return separator == std::string_view::npos ? 0 : separator + 1;
}

bool FileExists(const std::string& path) {
  return QueryPathKind(path) != PathKind::kMissing;
}

FileHandle::FileHandle(FileHandle&& other) noexcept : native(other.native) {
  other.native = -1;
}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
  if (this != &other) {
    CloseFile(*this);
    native = other.native;
    other.native = -1;
  }
  return *this;
}

FileHandle::~FileHandle() {
  CloseFile(*this);
}

bool IsOpen(const FileHandle& file) {
  return file.native != -1;
}

bool ListFolderFiles(const std::string& folderPrefix, std::vector<std::string>& names) {
  std::vector<FolderEntry> entries;
  if (!ListFolderEntries(folderPrefix, entries)) {
    return false;
  }
  for (FolderEntry& entry : entries) {
    if (entry.kind == EntryKind::kFile || entry.kind == EntryKind::kOther) {
      names.push_back(std::move(entry.name));
    }
  }
  return true;
}

bool IsLaterThan(const FileTime& first, const FileTime& second) {
  return std::tie(first.whole, first.fraction) > std::tie(second.whole, second.fraction);
}

}  // namespace tablemend
