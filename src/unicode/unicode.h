// Between UTF-16 code units and UTF-8 bytes, for what the program shows of a UTF-16 text and for
// the Windows file names it takes and prints. Plain conversions that touch no file: the Windows
// file layer converts every name with them, so they lie beneath it.
#ifndef TABLEMEND_UNICODE_UNICODE_H
#define TABLEMEND_UNICODE_UNICODE_H

#include <string>
#include <string_view>

namespace tablemend {

// What becomes of a surrogate that is not half of a pair.
enum class LoneSurrogates {
  kReplace,  // U+FFFD, as a text shown to people has it
  kKeep,     // its own three bytes (WTF-8), so that a Windows file name comes back as it was
};

std::string EncodeUtf8(std::u16string_view units, LoneSurrogates lone);

// The inverse of EncodeUtf8 with kKeep. A byte that no UTF-8 sequence explains stands for the
// character of its own value, as in Latin-1, so that nothing is lost.
std::u16string DecodeUtf8(std::string_view bytes);

}  // namespace tablemend

#endif
