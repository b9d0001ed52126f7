#include "text/unit_search.h"

#include <cstdint>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace tablemend {

namespace {

// The units after `index` one at a time: the tail a wider search leaves.
const char16_t* FindUnitFrom(const char16_t* units, std::size_t index, std::size_t count,
                             char16_t unit) {
  for (; index < count; ++index) {
    if (units[index] == unit) {
      return units + index;
    }
  }
  return nullptr;
}

}  // namespace

const char* FindUnit(const char* units, std::size_t count, char unit) {
  return static_cast<const char*>(std::memchr(units, unit, count));
}

// One at a time, UTF-16 text would take three times as long as bytes.
const char16_t* FindUnit(const char16_t* units, std::size_t count, char16_t unit) {
#ifdef __SSE2__
  return FindUnitEightAtATime(units, count, unit);
#else
  return FindUnitFourAtATime(units, count, unit);
#endif
}

// The 16-bit lanes of a 64-bit word: a lane equal to the unit becomes zero under the exclusive
// or, and a zero lane is told by the borrow it takes from its top bit. The word that holds one
// is searched again unit by unit.
const char16_t* FindUnitFourAtATime(const char16_t* units, std::size_t count, char16_t unit) {
  constexpr std::uint64_t kLowBits = 0x0001000100010001ULL;
  constexpr std::uint64_t kHighBits = 0x8000800080008000ULL;
  const std::uint64_t pattern = kLowBits * unit;
  std::size_t index = 0;
  for (; index + 4 <= count; index += 4) {
    std::uint64_t lanes;
    std::memcpy(&lanes, units + index, sizeof lanes);
    lanes ^= pattern;
    if (((lanes - kLowBits) & ~lanes & kHighBits) != 0) {
      break;
    }
  }
  return FindUnitFrom(units, index, count, unit);
}

#ifdef __SSE2__
const char16_t* FindUnitEightAtATime(const char16_t* units, std::size_t count, char16_t unit) {
  const __m128i pattern = _mm_set1_epi16(static_cast<short>(unit));
  std::size_t index = 0;
  for (; index + 8 <= count; index += 8) {
    const __m128i lanes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + index));
    const int found = _mm_movemask_epi8(_mm_cmpeq_epi16(lanes, pattern));
    if (found != 0) {
      return units + index + __builtin_ctz(static_cast<unsigned>(found)) / 2;
    }
  }
  return FindUnitFrom(units, index, count, unit);
}
#endif

}  // namespace tablemend
