// The text-file rules written the plain way, over whole strings, to check the streaming
// implementation against: byte by byte, no buffers, no refills.
#ifndef TABLEMEND_TESTS_SUPPORT_TEXT_RULES_MODEL_H
#define TABLEMEND_TESTS_SUPPORT_TEXT_RULES_MODEL_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tablemend::model {

// Bytes as stored to text in memory: stop at Ctrl-Z, CR LF becomes LF, a lone CR stays.
inline std::string TranslateStoredBytes(std::string_view bytes) {
  std::string text;
  for (std::size_t index = 0; index < bytes.size() && bytes[index] != '\x1a'; ++index) {
    const bool crBeforeLf =
        bytes[index] == '\r' && index + 1 < bytes.size() && bytes[index + 1] == '\n';
    if (!crBeforeLf) {
      text += bytes[index];
    }
  }
  return text;
}

// Text in chunks: each ends at a line feed or after `limit` characters, the last at the end.
inline std::vector<std::string> SplitIntoChunks(std::string_view text, std::size_t limit) {
  std::vector<std::string> chunks;
  std::string current;
  for (char c : text) {
    current += c;
    if (c == '\n' || current.size() == limit) {
      chunks.push_back(current);
      current.clear();
    }
  }
  if (!current.empty()) {
    chunks.push_back(current);
  }
  return chunks;
}

// Text in memory to bytes as stored: every LF becomes CR LF.
inline std::string StoreText(std::string_view text) {
  std::string bytes;
  for (char c : text) {
    if (c == '\n') {
      bytes += '\r';
    }
    bytes += c;
  }
  return bytes;
}

// True when every LF is preceded by a CR and no Ctrl-Z appears: bytes that reading and writing
// give back unchanged.
inline bool IsStoredFormText(std::string_view bytes) {
  for (std::size_t index = 0; index < bytes.size(); ++index) {
    if (bytes[index] == '\x1a' ||
        (bytes[index] == '\n' && (index == 0 || bytes[index - 1] != '\r'))) {
      return false;
    }
  }
  return true;
}

}  // namespace tablemend::model

#endif
