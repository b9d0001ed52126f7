// Converts arbitrary bytes, through a buffer whose size the first byte picks so that refills
// land everywhere, and checks the result against the plain model of the rules: the text written
// and every change record.
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
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (!(check::ConvertWithProgram(bytes, kMinimumTextBufferSize + data[0] * 13) ==
        check::ConvertWithModel(bytes))) {
    std::fprintf(stderr, "the program and the model convert this input differently\n");
    std::abort();
  }
  return 0;
}
