// How a text file stores its text: bytes (ANSI or UTF-8), or UTF-16 code units in either byte
// order, with or without a byte-order mark, told from the file's first bytes.
#ifndef TABLEMEND_TEXT_TEXT_FORMAT_H
#define TABLEMEND_TEXT_TEXT_FORMAT_H

#include <string>
#include <string_view>

namespace tablemend {

enum class TextEncoding { kBytes, kUtf16LittleEndian, kUtf16BigEndian };

// A byte-order mark is not part of the text: it is skipped on reading and written back first.
struct TextFormat {
  TextEncoding encoding = TextEncoding::kBytes;
  bool byteOrderMark = false;
};

// The format the first bytes of a file show: UTF-16 after the byte-order mark FF FE or FE FF,
// or, without a mark, when the first two code units are plain ASCII with a zero byte beside
// each; bytes otherwise.
TextFormat DetectTextFormat(std::string_view firstBytes);

enum class FormatRead {
  kRead,
  kUnreadable,
  kCutShort,  // UTF-16 with an odd number of bytes: its last character is cut, and no
              // conversion could keep it
};

// Reads the format of the file at `path` from its first bytes and its length.
FormatRead ReadTextFormat(const std::string& path, TextFormat& format);

}  // namespace tablemend

#endif
