// Trimming of blank characters, as the converter compares lines.
#ifndef TABLEMEND_CONVERT_TRIM_TEXT_H
#define TABLEMEND_CONVERT_TRIM_TEXT_H

#include <string_view>

namespace tablemend {

// Space, tab, line feed and carriage return; no other character is blank here.
constexpr bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The text without its leading and trailing blanks; an all-blank text gives the empty text.
std::string_view TrimText(std::string_view text);

}  // namespace tablemend

#endif
