// How a text file stores its text: bytes (ANSI or UTF-8), or UTF-16 code units in either byte
// order, with or without a byte-order mark, told from the file's first bytes.
#ifndef TABLEMEND_TEXT_TEXT_FORMAT_H
#define TABLEMEND_TEXT_TEXT_FORMAT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

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

// How much of a file's start is looked at for a NUL byte: the block git and diff judge by.
constexpr std::size_t kTextProbeLength = 8000;

// True when a file that starts with these bytes (its first kTextProbeLength, or all of a shorter
// file) and is stored in this format is text: UTF-16, or bytes without a NUL among them. A
// program, a picture or an archive holds NUL bytes near its start, and a run over one would cut
// it at its first 0x1A byte.
bool StartsAsText(std::string_view firstBytes, const TextFormat& format);

enum class FormatRead {
  kRead,
  kUnreadable,
  kCutShort,  // UTF-16 with an odd number of bytes: its last character is cut, and no
              // conversion could keep it
  kNotText,   // bytes with a NUL among the first kTextProbeLength: no resource script
};

// The format of a text from its first bytes (the first kTextProbeLength, or all of a shorter
// text) and its length in bytes.
FormatRead JudgeTextFormat(std::string_view firstBytes, std::int64_t length, TextFormat& format);

// A file's start as the format read left it: the file still open after its first bytes, which
// are kept, so that a conversion goes on from there and a run opens its input once.
struct OpenedText {
  FileHandle file;
  std::string firstBytes;
};

// Reads the format of the file at `path` from its first bytes and its length; `opened` keeps the
// file open where it could be read.
FormatRead ReadTextFormat(const std::string& path, TextFormat& format, OpenedText& opened);

}  // namespace tablemend

#endif
