// Counting the spaces a line starts with, which the converter does for every line: most lines of a
// script are indented. The fast count compares eight bytes at once; the plain one, a unit at a
// time, is what the tests hold it to.
#ifndef TABLEMEND_CONVERT_LEADING_SPACES_H
#define TABLEMEND_CONVERT_LEADING_SPACES_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "text/unit_search.h"

namespace tablemend {

template <typename Unit>
std::size_t CountLeadingSpacesOneByOne(std::basic_string_view<Unit> text, std::size_t from = 0) {
  std::size_t count = from;
  while (count < text.size() && text[count] == ' ') {
    ++count;
  }
  return count;
}

// A 64-bit word of units at a time where the machine stores its words with the first byte
// lowest: the first unit that differs from a space is the lowest set bit of the difference.
template <typename Unit>
std::size_t CountLeadingSpacesByWords(std::basic_string_view<Unit> text) {
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
  return CountLeadingSpacesOneByOne(text, count);
}

}  // namespace tablemend

#endif
