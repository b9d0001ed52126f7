// Finding code units in a buffer: the line feeds of a whole buffer marked in one pass, a bit for
// each unit, and single units found several at a time. Vector instructions (SSE2, which every
// x86-64 processor has) look at 16 bytes at once; the portable path, which the 32-bit Windows
// program runs, a 32-bit word of units at once. Both are compiled wherever they can be, so
// that each is tested on every build machine.
#ifndef TABLEMEND_TEXT_UNIT_SEARCH_H
#define TABLEMEND_TEXT_UNIT_SEARCH_H

#include <cstddef>
#include <cstdint>

namespace tablemend {

constexpr std::size_t kUnitsPerMarkWord = 64;

// Sets bit i % 64 of marks[i / 64] exactly where units[i] is a line feed, for i < count,
// writing every word up to the one that holds unit count - 1 (the bits past count zero).
template <typename Unit>
void MarkLineFeeds(const Unit* units, std::size_t count, std::uint64_t* marks);

// The two ways of marking any unit, for tests; MarkLineFeeds takes the vector one where there
// is one.
template <typename Unit>
void MarkUnitsPortably(const Unit* units, std::size_t count, Unit unit, std::uint64_t* marks);
#ifdef __SSE2__
template <typename Unit>
void MarkUnitsWithSse2(const Unit* units, std::size_t count, Unit unit, std::uint64_t* marks);
#endif

// The place of the lowest set bit of a word that has one.
inline std::size_t CountTrailingZeros(std::uint64_t bits) {
#if defined(__GNUC__) || defined(__clang__)
  return static_cast<std::size_t>(__builtin_ctzll(bits));
#else
  std::size_t count = 0;
  for (; (bits & 1) == 0; bits >>= 1) {
    ++count;
  }
  return count;
#endif
}

// The first place of `unit` among `count` units, or null.
const char* FindUnit(const char* units, std::size_t count, char unit);
const char16_t* FindUnit(const char16_t* units, std::size_t count, char16_t unit);

}  // namespace tablemend

#endif
