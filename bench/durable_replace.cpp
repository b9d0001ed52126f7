// The least a program must do to replace many files durably, each whole at every instant: read
// each, write a temporary file beside it and start its writeback, flush every temporary file,
// rename each over its file, and flush each folder once. The floor the benchmark holds a call over
// many scripts against. Usage: durable_replace FILE...
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

std::string TemporaryOf(const std::string& path) {
  return path + ".replacing";
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

// Copies the file to its temporary file and starts that file's writeback.
bool WriteTemporary(const std::string& path, std::vector<char>& buffer) {
  const int input = open(path.c_str(), O_RDONLY);
  const int output = open(TemporaryOf(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ssize_t count = 0;
  while (input >= 0 && output >= 0 && (count = read(input, buffer.data(), buffer.size())) > 0) {
    if (write(output, buffer.data(), static_cast<std::size_t>(count)) != count) {
      count = -1;
      break;
    }
  }
  const bool written = input >= 0 && output >= 0 && count == 0 &&
                       sync_file_range(output, 0, 0, SYNC_FILE_RANGE_WRITE) == 0;
  return close(output) == 0 && close(input) == 0 && written;
}

bool Flush(const std::string& path, int flags) {
  const int file = open(path.c_str(), flags);
  return file >= 0 && fsync(file) == 0 && close(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char> buffer(1 << 17);
  const std::vector<std::string> paths(argv + 1, argv + argc);
  std::set<std::string> folders;
  for (const std::string& path : paths) {
    if (!WriteTemporary(path, buffer)) {
      std::perror(path.c_str());
      return 1;
    }
    folders.insert(FolderOf(path));
  }
  for (const std::string& path : paths) {
    if (!Flush(TemporaryOf(path), O_WRONLY)) {
      std::perror(path.c_str());
      return 1;
    }
  }
  for (const std::string& path : paths) {
    if (rename(TemporaryOf(path).c_str(), path.c_str()) != 0) {
      std::perror(path.c_str());
      return 1;
    }
  }
  for (const std::string& folder : folders) {
    if (!Flush(folder, O_RDONLY | O_DIRECTORY)) {
      std::perror(folder.c_str());
      return 1;
    }
  }
  return 0;
}
