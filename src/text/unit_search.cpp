#include "text/unit_search.h"

#include <algorithm>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace tablemend {

namespace {

// The bits of up to 32 units, one unit at a time.
template <typename Unit>
std::uint32_t MarkUnitByUnit(const Unit* units, std::size_t count, Unit unit) {
  std::uint32_t bits = 0;
  for (std::size_t index = 0; index < count; ++index) {
    bits |= static_cast<std::uint32_t>(units[index] == unit) << index;
  }
  return bits;
}

// The bits of the 4 bytes or 2 UTF-16 units of a 32-bit word, all at once: a unit equal to the
// one sought becomes zero under the exclusive or, and only a zero unit keeps its top bit clear
// both before and after its other bits are added to all ones (no carry crosses into the next
// unit); the top bits are then gathered by a multiplication whose partial products never meet.
std::uint32_t MarkMatchesInWord(std::uint32_t word, char unit) {
  const std::uint32_t differ = word ^ (0x01010101u * static_cast<unsigned char>(unit));
  const std::uint32_t zero = ~(((differ & 0x7F7F7F7Fu) + 0x7F7F7F7Fu) | differ) & 0x80808080u;
  return ((zero >> 7) * 0x00204081u) >> 21 & 0xF;
}

std::uint32_t MarkMatchesInWord(std::uint32_t word, char16_t unit) {
  const std::uint32_t differ = word ^ (0x00010001u * unit);
  const std::uint32_t zero = ~(((differ & 0x7FFF7FFFu) + 0x7FFF7FFFu) | differ) & 0x80008000u;
  // Bit 31 down to bit 1: the second unit's mark.
  return (zero >> 15 & 1) | zero >> 30;
}

// The bits of one word, for up to 64 units: 32 bits at a time on any processor, a 32-bit word of
// units at a time where the machine stores its words with the first byte lowest.
template <typename Unit>
std::uint64_t MarkWordPortably(const Unit* units, std::size_t count, Unit unit) {
  std::uint32_t halves[2] = {0, 0};
  for (std::size_t half = 0; half < 2 && half * 32 < count; ++half) {
    const Unit* start = units + half * 32;
    const std::size_t size = std::min<std::size_t>(count - half * 32, 32);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    if (size == 32) {
      constexpr std::size_t kUnitsPerWord = sizeof(std::uint32_t) / sizeof(Unit);
      for (std::size_t index = 0; index < 32; index += kUnitsPerWord) {
        std::uint32_t word;
        std::memcpy(&word, start + index, sizeof word);
        halves[half] |= MarkMatchesInWord(word, unit) << index;
      }
      continue;
    }
#endif
    halves[half] = MarkUnitByUnit(start, size, unit);
  }
  return static_cast<std::uint64_t>(halves[1]) << 32 | halves[0];
}

#ifdef __SSE2__
// Sixteen units compared at once, their results as the low 16 bits of the value: bytes give a
// bit each directly; UTF-16 units, eight to a register, are packed two registers into one first.
std::uint64_t MarkSixteen(const char* units, __m128i pattern) {
  const __m128i lanes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units));
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(lanes, pattern)));
}

std::uint64_t MarkSixteen(const char16_t* units, __m128i pattern) {
  const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units));
  const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + 8));
  const __m128i packed =
      _mm_packs_epi16(_mm_cmpeq_epi16(low, pattern), _mm_cmpeq_epi16(high, pattern));
  return static_cast<unsigned>(_mm_movemask_epi8(packed));
}

template <typename Unit>
__m128i Broadcast(Unit unit) {
  return sizeof(Unit) == 1 ? _mm_set1_epi8(static_cast<char>(unit))
                           : _mm_set1_epi16(static_cast<short>(unit));
}

template <typename Unit>
std::uint64_t MarkWordWithSse2(const Unit* units, __m128i pattern) {
  return MarkSixteen(units, pattern) | MarkSixteen(units + 16, pattern) << 16 |
         MarkSixteen(units + 32, pattern) << 32 | MarkSixteen(units + 48, pattern) << 48;
}
#endif

// Sixteen units a step with SSE2, with no marks kept: the units are tested for `unit` only; the
// rest, and all of them without SSE2, a word of marks at a time.
const char16_t* FindUnitByWords(const char16_t* units, std::size_t count, char16_t unit) {
  std::size_t start = 0;
#ifdef __SSE2__
  const __m128i pattern = Broadcast(unit);
  for (; start + 16 <= count; start += 16) {
    const std::uint64_t bits = MarkSixteen(units + start, pattern);
    if (bits != 0) {
      return units + start + CountTrailingZeros(bits);
    }
  }
#endif
  for (; start < count; start += kUnitsPerMarkWord) {
    const std::uint64_t bits =
        MarkWordPortably(units + start, std::min(count - start, kUnitsPerMarkWord), unit);
    if (bits != 0) {
      return units + start + CountTrailingZeros(bits);
    }
  }
  return nullptr;
}

}  // namespace

template <typename Unit>
void MarkUnitsPortably(const Unit* units, std::size_t count, Unit unit, std::uint64_t* marks) {
  for (std::size_t start = 0; start < count; start += kUnitsPerMarkWord) {
    *marks++ = MarkWordPortably(units + start, std::min(count - start, kUnitsPerMarkWord), unit);
  }
}

#ifdef __SSE2__
template <typename Unit>
void MarkUnitsWithSse2(const Unit* units, std::size_t count, Unit unit, std::uint64_t* marks) {
  const __m128i pattern = Broadcast(unit);
  std::size_t start = 0;
  for (; start + kUnitsPerMarkWord <= count; start += kUnitsPerMarkWord) {
    *marks++ = MarkWordWithSse2(units + start, pattern);
  }
  if (start < count) {
    *marks = MarkWordPortably(units + start, count - start, unit);
  }
}
template void MarkUnitsWithSse2(const char*, std::size_t, char, std::uint64_t*);
template void MarkUnitsWithSse2(const char16_t*, std::size_t, char16_t, std::uint64_t*);
#endif
template void MarkUnitsPortably(const char*, std::size_t, char, std::uint64_t*);
template void MarkUnitsPortably(const char16_t*, std::size_t, char16_t, std::uint64_t*);

template <typename Unit>
void MarkLineFeeds(const Unit* units, std::size_t count, std::uint64_t* marks) {
#ifdef __SSE2__
  MarkUnitsWithSse2(units, count, Unit{'\n'}, marks);
#else
  MarkUnitsPortably(units, count, Unit{'\n'}, marks);
#endif
}
template void MarkLineFeeds(const char*, std::size_t, std::uint64_t*);
template void MarkLineFeeds(const char16_t*, std::size_t, std::uint64_t*);

// Bytes go to memchr, which the C library makes fast.
const char* FindUnit(const char* units, std::size_t count, char unit) {
  return static_cast<const char*>(std::memchr(units, unit, count));
}

const char16_t* FindUnit(const char16_t* units, std::size_t count, char16_t unit) {
  return FindUnitByWords(units, count, unit);
}

}  // namespace tablemend
