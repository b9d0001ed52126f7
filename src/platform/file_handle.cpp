// The parts of an open file that are the same on every platform: ownership moves, and the file
// is closed when its owner goes out of scope. Both platforms mark "no file" with -1.
#include "platform/platform.h"

namespace tablemend {

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

}  // namespace tablemend
