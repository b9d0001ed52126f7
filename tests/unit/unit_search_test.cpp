// The UTF-16 searches against the plain loop: the four-at-a-time one is what the 32-bit Windows
// program runs, and it is tested here on whatever machine builds the tests.
#include "text/unit_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace tablemend {
namespace {

using Search = const char16_t* (*)(const char16_t*, std::size_t, char16_t);

// Every count up to a few words, the unit at every place or nowhere, among units that differ from
// it by a borrow, a carry, a top bit or a byte order, which a word-wide compare might mistake.
void ExpectSameAsPlainLoop(Search search) {
  std::mt19937 random(18);
  for (const char16_t unit : {u'\n', u'\x1a', u'\0', u'\x8000', u'\xffff', u'\x0a0d'}) {
    const char16_t decoys[] = {static_cast<char16_t>(unit - 1),
                               static_cast<char16_t>(unit + 1),
                               static_cast<char16_t>(unit ^ 0x8000),
                               static_cast<char16_t>(unit << 8 | unit >> 8),
                               0,
                               0xffff};
    for (std::size_t count = 0; count <= 19; ++count) {
      for (std::size_t place = 0; place <= count; ++place) {
        std::vector<char16_t> units(count + 1);
        for (char16_t& other : units) {
          do {
            other = decoys[random() % 6];
          } while (other == unit);
        }
        units[place] = unit;  // past the end when place == count: never found
        const char16_t* expected = std::find(units.data(), units.data() + count, unit);
        const char16_t* found = search(units.data(), count, unit);
        EXPECT_EQ(found == nullptr ? units.data() + count : found, expected)
            << "unit " << unsigned(unit) << ", count " << count << ", place " << place;
      }
    }
  }
}

TEST(FindUnit, FindsUtf16UnitsAsThePlainLoopDoes) {
  ExpectSameAsPlainLoop(FindUnitFourAtATime);
#ifdef __SSE2__
  ExpectSameAsPlainLoop(FindUnitEightAtATime);
#endif
  ExpectSameAsPlainLoop(FindUnit);
}

}  // namespace
}  // namespace tablemend
