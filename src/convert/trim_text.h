// Trimming of blank characters, as the converter compares lines, for either code-unit width.
#ifndef TABLEMEND_CONVERT_TRIM_TEXT_H
#define TABLEMEND_CONVERT_TRIM_TEXT_H

#include <string_view>

namespace tablemend {

// Space, tab, line feed and carriage return; no other character is blank here.
template <typename Unit>
constexpr bool IsBlank(Unit c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The text without its leading and trailing blanks; an all-blank text gives the empty text.
template <typename Unit>
std::basic_string_view<Unit> TrimText(std::basic_string_view<Unit> text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) {
    ++begin;
  }
  while (end > begin && IsBlank(text[end - 1])) {
    --end;
  }
  return text.substr(begin, end - begin);
}

}  // namespace tablemend

#endif
