// Converts arbitrary bytes and checks what must hold for any input: every chunk comes out as it
// went in unless a change record names it, the records hold exactly the chunks they replace,
// every line feed is written with its CR, and converting the output again changes nothing.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "convert/string_table_converter.h"
#include "fuzz_check.h"
#include "support/text_rules_model.h"

using namespace tablemend;

namespace {

struct Conversion {
  std::string output;
  std::map<long long, std::pair<std::string, std::string>> changes;
};

Conversion Convert(std::string_view bytes, std::size_t bufferSize) {
  Conversion result;
  TextReader reader;
  AttachTextReader(bytes, reader, bufferSize);
  TextWriter writer;
  AttachTextWriter(result.output, writer, bufferSize);
  long long lastLine = 0;
  ConvertStringTables(reader, writer, RunSettings(), [&](const ChangeRecord& change) {
    FUZZ_CHECK(change.lineNumber > lastLine);
    lastLine = change.lineNumber;
    result.changes[change.lineNumber] = {std::string(change.oldLine), std::string(change.newLine)};
  });
  FUZZ_CHECK(CloseTextWriter(writer));
  return result;
}

bool EveryLineFeedHasItsCarriageReturn(std::string_view bytes) {
  for (std::size_t index = 0; index < bytes.size(); ++index) {
    if (bytes[index] == '\n' && (index == 0 || bytes[index - 1] != '\r')) {
      return false;
    }
  }
  return true;
}

bool LinesStayWellUnderTheChunkLimit(const std::vector<std::string>& chunks) {
  for (const std::string& chunk : chunks) {
    // A rewrite can make a line up to four characters longer.
    if (chunk.size() + 4 >= kMaxChunkLength) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  const std::size_t bufferSize = kMinimumTextBufferSize + data[0] * 13;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const Conversion first = Convert(bytes, bufferSize);
  FUZZ_CHECK(EveryLineFeedHasItsCarriageReturn(first.output));

  const std::vector<std::string> chunks =
      model::SplitIntoChunks(model::TranslateStoredBytes(bytes), kMaxChunkLength);
  std::string expected;
  for (std::size_t index = 0; index < chunks.size(); ++index) {
    const auto change = first.changes.find(static_cast<long long>(index) + 1);
    if (change == first.changes.end()) {
      expected += chunks[index];
      continue;
    }
    const std::string& newLine = change->second.second;
    FUZZ_CHECK(change->second.first == chunks[index]);
    FUZZ_CHECK(newLine != chunks[index] && !newLine.empty() && newLine.back() == '\n');
    FUZZ_CHECK(newLine.find("\"EI\"") != std::string::npos ||
               newLine.find("\"--\"") != std::string::npos);
    expected += newLine;
  }
  FUZZ_CHECK(first.changes.empty() ||
             first.changes.rbegin()->first <= static_cast<long long>(chunks.size()));
  FUZZ_CHECK(first.output == model::StoreText(expected));
  if (first.changes.empty() && model::IsStoredFormText(bytes)) {
    FUZZ_CHECK(first.output == bytes);
  }
  if (LinesStayWellUnderTheChunkLimit(chunks)) {
    const Conversion second = Convert(first.output, bufferSize);
    FUZZ_CHECK(second.output == first.output);
    FUZZ_CHECK(second.changes.empty());
  }
  return 0;
}
