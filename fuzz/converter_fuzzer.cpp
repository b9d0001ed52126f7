// Converts arbitrary bytes through a buffer whose size the first byte picks, so that refills land
// everywhere, writing CR LF or keeping line ends as it also picks, and holds the result to the
// plain model of the rules; then the same bytes as UTF-16 text, in the format the first byte
// picks, to the UTF-16 text of that result.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "support/conversions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tablemend;
  if (size == 0) {
    return 0;
  }
  const TextFormat utf16Format{
      data[0] % 2 == 0 ? TextEncoding::kUtf16LittleEndian : TextEncoding::kUtf16BigEndian,
      data[0] % 4 < 2};
  const std::string broken =
      check::CheckConversion(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1),
                             kMinimumTextBufferSize + data[0] * 13, utf16Format, data[0] % 8 < 4);
  if (!broken.empty()) {
    std::fprintf(stderr, "property broken: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
