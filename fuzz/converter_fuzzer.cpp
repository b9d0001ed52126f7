// Converts arbitrary bytes, through a buffer whose size the first byte picks so that refills
// land everywhere, and checks the result against the plain model of the rules: the text written
// and every change record. The same bytes as UTF-16 text, one code unit each, in the format the
// first byte picks, must come out as the UTF-16 text of that result.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "support/conversions.h"

namespace {

void Check(bool property, const char* broken) {
  if (!property) {
    std::fprintf(stderr, "property broken: %s\n", broken);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tablemend;
  if (size == 0) {
    return 0;
  }
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t bufferSize = kMinimumTextBufferSize + data[0] * 13;
  const check::Conversion result = check::ConvertWithProgram(bytes, bufferSize);
  Check(result == check::ConvertWithModel(bytes), "the program converts as the model does");
  // A UTF-8 byte-order mark means nothing in UTF-16 text.
  if (bytes.substr(0, 3) != "\xEF\xBB\xBF") {
    const TextFormat format{
        data[0] % 2 == 0 ? TextEncoding::kUtf16LittleEndian : TextEncoding::kUtf16BigEndian,
        data[0] % 4 < 2};
    check::Conversion expected{check::ToUtf16(result.output, format), {}};
    for (const std::string& change : result.changes) {
      expected.changes.push_back(check::ToUtf16(change, TextFormat()));
    }
    Check(check::ConvertWithProgram<char16_t>(check::ToUtf16(bytes, format), bufferSize, format) ==
              expected,
          "UTF-16 text converts as the same text in bytes does");
  }
  return 0;
}
