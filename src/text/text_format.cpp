#include "text/text_format.h"

#include <cstdint>
#include <utility>

#include "platform/platform.h"

namespace tablemend {

TextFormat DetectTextFormat(std::string_view firstBytes) {
  const auto byte = [firstBytes](std::size_t index) {
    return index < firstBytes.size() ? static_cast<unsigned char>(firstBytes[index]) : 0xFFu;
  };
  const auto plainAscii = [](unsigned value) { return value > 0 && value < 0x80; };
  TextFormat format;
  if ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF)) {
    format.encoding =
        byte(0) == 0xFF ? TextEncoding::kUtf16LittleEndian : TextEncoding::kUtf16BigEndian;
    format.byteOrderMark = true;
  } else if (byte(1) == 0 && byte(3) == 0 && plainAscii(byte(0)) && plainAscii(byte(2))) {
    format.encoding = TextEncoding::kUtf16LittleEndian;
  } else if (byte(0) == 0 && byte(2) == 0 && plainAscii(byte(1)) && plainAscii(byte(3))) {
    format.encoding = TextEncoding::kUtf16BigEndian;
  }
  return format;
}

bool StartsAsText(std::string_view firstBytes, const TextFormat& format) {
  return format.encoding != TextEncoding::kBytes ||
         firstBytes.substr(0, kTextProbeLength).find('\0') == std::string_view::npos;
}

FormatRead JudgeTextFormat(std::string_view firstBytes, std::int64_t length, TextFormat& format) {
  format = DetectTextFormat(firstBytes);
  if (!StartsAsText(firstBytes, format)) {
    return FormatRead::kNotText;
  }
  const bool wholeUnits = format.encoding == TextEncoding::kBytes || length % 2 == 0;
  return wholeUnits ? FormatRead::kRead : FormatRead::kCutShort;
}

FormatRead ReadTextFormat(const std::string& path, TextFormat& format, OpenedText& opened) {
  FileHandle file;
  char start[kTextProbeLength];
  std::size_t count = 0;
  std::ptrdiff_t read = 1;
  if (!OpenForReading(path, file)) {
    return FormatRead::kUnreadable;
  }
  while (count < sizeof start && read > 0) {
    read = ReadBytes(file, start + count, sizeof start - count);
    count += read > 0 ? static_cast<std::size_t>(read) : 0;
  }
  // Only UTF-16 needs the length, for whole code units; a file read to its end has it already.
  std::int64_t length = static_cast<std::int64_t>(count);
  const bool whole = read == 0;
  const bool utf16 =
      DetectTextFormat(std::string_view(start, count)).encoding != TextEncoding::kBytes;
  if (read < 0 || (utf16 && !whole && !GetFileLength(file, length))) {
    return FormatRead::kUnreadable;
  }
  opened.file = std::move(file);
  opened.firstBytes.assign(start, count);
  return JudgeTextFormat(opened.firstBytes, length, format);
}

}  // namespace tablemend
