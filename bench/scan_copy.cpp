// The least a program must do to convert one large file durably: read it, find its line feeds,
// write it and flush it to disk. The floor the benchmark holds a first run over a large script
// against. Its status depends on the number of lines found, so that the scan cannot be left out.
// Usage: scan_copy INPUT OUTPUT
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s INPUT OUTPUT\n", argv[0]);
    return 2;
  }
  const int input = open(argv[1], O_RDONLY);
  const int output = open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<char> buffer(1 << 17);
  unsigned long long lines = 0;
  ssize_t count = 0;
  while (input >= 0 && output >= 0 && (count = read(input, buffer.data(), buffer.size())) > 0) {
    const char* end = buffer.data() + count;
    for (const char* at = buffer.data();
         (at = static_cast<const char*>(std::memchr(at, '\n', end - at))) != nullptr; ++at) {
      ++lines;
    }
    if (write(output, buffer.data(), static_cast<std::size_t>(count)) != count) {
      count = -1;
      break;
    }
  }
  if (input < 0 || output < 0 || count != 0 || fsync(output) != 0 || close(output) != 0) {
    std::perror("scan_copy");
    return 1;
  }
  return lines == 0 ? 3 : 0;
}
