// Reads arbitrary bytes through the text reader and writes the text back, checking both against
// the plain rules. The first byte picks the buffer size, so refills land everywhere.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "platform/text_stream.h"
#include "support/text_rules_model.h"

using namespace tablemend;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  const std::size_t bufferSize = kMinimumTextBufferSize + data[0] * 7;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

  TextReader reader;
  AttachTextReader(bytes, reader, bufferSize);
  std::string text;
  std::string_view chunk;
  bool lastWasShort = false;
  while (ReadLineChunk(reader, chunk)) {
    FUZZ_CHECK(!lastWasShort);  // only the final chunk may end without a line feed below the limit
    FUZZ_CHECK(!chunk.empty() && chunk.size() <= kMaxChunkLength);
    const std::size_t lineFeed = chunk.find('\n');
    FUZZ_CHECK(lineFeed == std::string_view::npos || lineFeed == chunk.size() - 1);
    lastWasShort = lineFeed == std::string_view::npos && chunk.size() < kMaxChunkLength;
    text += chunk;
  }
  FUZZ_CHECK(!reader.readFailed);
  FUZZ_CHECK(text == model::TranslateStoredBytes(bytes));

  std::string stored;
  TextWriter writer;
  AttachTextWriter(stored, writer, bufferSize);
  WriteText(writer, text);
  FUZZ_CHECK(CloseTextWriter(writer));
  FUZZ_CHECK(stored == model::StoreText(text));
  if (model::IsStoredFormText(bytes)) {
    FUZZ_CHECK(stored == bytes);
  }
  return 0;
}
