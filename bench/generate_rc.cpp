// Writes a generated resource script of at least the given size to a file, in pieces, so that a
// gigabyte needs no gigabyte of memory; with "utf16", the same text as UTF-16 (little-endian,
// after a byte-order mark), twice the bytes. Usage: generate_rc SIZE_IN_MIB OUTPUT [SEED [utf16]]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "rc_generator.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s SIZE_IN_MIB OUTPUT [SEED [utf16]]\n", argv[0]);
    return 2;
  }
  const unsigned long long size = std::strtoull(argv[1], nullptr, 10) << 20;
  const unsigned long long seed = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1;
  const bool utf16 = argc > 4 && std::string(argv[4]) == "utf16";
  std::FILE* output = std::fopen(argv[2], "wb");
  if (output == nullptr) {
    std::perror(argv[2]);
    return 1;
  }
  tablemend::bench::ScriptGenerator generator(seed);
  std::string piece;
  unsigned long long written = 0;
  while (written < size) {
    piece.clear();
    while (piece.size() < (1u << 20) && written + piece.size() < size) {
      tablemend::bench::AppendSection(generator, piece);
    }
    const std::string bytes =
        utf16 ? tablemend::bench::ToUtf16LittleEndian(piece, written == 0) : piece;
    if (std::fwrite(bytes.data(), 1, bytes.size(), output) != bytes.size()) {
      std::perror(argv[2]);
      return 1;
    }
    written += piece.size();
  }
  if (std::fclose(output) != 0) {
    std::perror(argv[2]);
    return 1;
  }
  return 0;
}
