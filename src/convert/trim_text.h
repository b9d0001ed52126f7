// Trimming of blank characters, as the converter compares lines, for either code-unit width.
#ifndef TABLEMEND_CONVERT_TRIM_TEXT_H
#define TABLEMEND_CONVERT_TRIM_TEXT_H

#include <cstdint>
#include <string_view>
#include <type_traits>

#include "convert/leading_spaces.h"

namespace tablemend {

// Space, tab, line feed and carriage return; no other character is blank here. One test of a
// bit in a word, as it runs for many units of every line.
template <typename Unit>
constexpr bool IsBlank(Unit c) {
  constexpr std::uint64_t kBlanks = 1ULL << ' ' | 1ULL << '\t' | 1ULL << '\n' | 1ULL << '\r';
  const auto value = static_cast<std::make_unsigned_t<Unit>>(c);
  return value <= ' ' && (kBlanks >> value & 1) != 0;
}

// Where the first unit that is not blank stands, or the text's size when there is none.
template <typename Unit>
std::size_t FindFirstNonBlank(std::basic_string_view<Unit> text) {
  std::size_t first = CountLeadingSpacesByWords(text);
  while (first < text.size() && IsBlank(text[first])) {
    ++first;
  }
  return first;
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
