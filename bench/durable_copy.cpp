// Copies each file named to the same name with ".copy" added, each written and flushed to disk
// before the next: the least a program that replaces files durably must do, for the benchmark to
// hold the program's many-files call against. Usage: durable_copy FILE...
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

bool CopyDurably(const std::string& from) {
  const int input = open(from.c_str(), O_RDONLY);
  const int output = open((from + ".copy").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<char> buffer(1 << 17);
  ssize_t count = 0;
  while (input >= 0 && output >= 0 && (count = read(input, buffer.data(), buffer.size())) > 0) {
    if (write(output, buffer.data(), static_cast<std::size_t>(count)) != count) {
      count = -1;
      break;
    }
  }
  const bool copied = input >= 0 && output >= 0 && count == 0 && fsync(output) == 0;
  return close(output) == 0 && close(input) == 0 && copied;
}

}  // namespace

int main(int argc, char** argv) {
  for (int index = 1; index < argc; ++index) {
    if (!CopyDurably(argv[index])) {
      std::perror(argv[index]);
      return 1;
    }
  }
  return 0;
}
