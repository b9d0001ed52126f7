// Trimming of blank characters, as the converter compares lines, for either code-unit width.
#ifndef TABLEMEND_CONVERT_TRIM_TEXT_H
#define TABLEMEND_CONVERT_TRIM_TEXT_H

#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

#include "text/unit_search.h"

namespace tablemend {

// Space, tab, line feed and carriage return; no other character is blank here. One test of a
// bit in a word, as it runs for many units of every line.
template <typename Unit>
constexpr bool IsBlank(Unit c) {
  constexpr std::uint64_t kBlanks = 1ULL << ' ' | 1ULL << '\t' | 1ULL << '\n' | 1ULL << '\r';
  const auto value = static_cast<std::make_unsigned_t<Unit>>(c);
  return value <= ' ' && (kBlanks >> value & 1) != 0;
}

// How many spaces the text starts with: most lines of a script are indented, and eight bytes of
// them are compared at once where the machine stores its words with the first byte lowest.
template <typename Unit>
std::size_t CountLeadingSpaces(std::basic_string_view<Unit> text) {
  std::size_t count = 0;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  constexpr std::size_t kUnitsPerWord = sizeof(std::uint64_t) / sizeof(Unit);
  constexpr std::uint64_t kSpaces = ~std::uint64_t{0} / ((1ULL << 8 * sizeof(Unit)) - 1) * ' ';
  for (; count + kUnitsPerWord <= text.size(); count += kUnitsPerWord) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + count, sizeof word);
    if (word != kSpaces) {
      return count + CountTrailingZeros(word ^ kSpaces) / (8 * sizeof(Unit));
    }
  }
#endif
  while (count < text.size() && text[count] == ' ') {
    ++count;
  }
  return count;
}

// Where the first unit that is not blank stands, or the text's size when there is none.
template <typename Unit>
std::size_t FindFirstNonBlank(std::basic_string_view<Unit> text) {
  std::size_t first = CountLeadingSpaces(text);
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
