// UTF-16 text as a file stores it: the byte-order mark the format has, then each code unit in
// the format's byte order. The one encoder the tests build UTF-16 files with.
#ifndef TABLEMEND_TESTS_SUPPORT_UTF16_H
#define TABLEMEND_TESTS_SUPPORT_UTF16_H

#include <string>
#include <string_view>

#include "text/text_format.h"

namespace tablemend::check {

inline std::string StoreUtf16(std::u16string_view units, const TextFormat& format) {
  const bool bigEndian = format.encoding == TextEncoding::kUtf16BigEndian;
  std::string stored;
  for (const char16_t unit : (format.byteOrderMark ? u"\xFEFF" : u"") + std::u16string(units)) {
    stored += static_cast<char>(bigEndian ? unit >> 8 : unit & 0xFF);
    stored += static_cast<char>(bigEndian ? unit & 0xFF : unit >> 8);
  }
  return stored;
}

}  // namespace tablemend::check

#endif
