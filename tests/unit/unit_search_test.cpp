// The fast searches against plain loops, in both widths: the portable marking is what the 32-bit
// Windows program runs, and it is tested here on whatever machine builds the tests, beside the
// vector one; the count of a line's leading spaces, a word at a time, beside the plain count.
#include "text/unit_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "convert/leading_spaces.h"

namespace tablemend {
namespace {

// Every count up to a few words, among units that differ from the one sought by a borrow, a
// carry, a top bit or a byte order, which a compare of many units at once might mistake.
template <typename Unit>
void ExpectSameAsPlainLoop(
    std::vector<void (*)(const Unit*, std::size_t, Unit, std::uint64_t*)> marks) {
  std::mt19937 random(21);
  const Unit unit = sizeof(Unit) == 1 ? Unit('\n') : Unit(0x0a0d);
  const Unit others[] = {unit, Unit(unit - 1), Unit(unit + 1), Unit(unit ^ 0x80), Unit(unit << 8),
                         0,    Unit(~0)};
  for (std::size_t count = 0; count <= 200; ++count) {
    std::vector<Unit> units(count + 1);  // past the end, the unit: a search too far finds it
    std::generate(units.begin(), units.end(), [&] { return others[random() % 7]; });
    units[count] = unit;
    std::vector<std::uint64_t> expected(count / 64 + 2, 0);
    for (std::size_t index = 0; index < count; ++index) {
      expected[index / 64] |= std::uint64_t{units[index] == unit} << index % 64;
    }
    for (const auto mark : marks) {
      std::vector<std::uint64_t> marks(expected.size(), 0);
      mark(units.data(), count, unit, marks.data());
      EXPECT_EQ(marks, expected) << "count " << count;
    }
    const Unit* pointer = FindUnit(units.data(), count, unit);
    EXPECT_EQ(pointer == nullptr ? count : pointer - units.data(),
              std::find(units.begin(), units.end(), unit) - units.begin());
    // Spaces, then perhaps a unit one bit away from a space, which a compare of words might miss;
    // a space past the end of the text, which neither count may take.
    std::basic_string<Unit> spaces(count % 30, ' ');
    spaces.append(count % 3, static_cast<Unit>(' ' ^ 1 << random() % (8 * sizeof(Unit))));
    const std::size_t leading = std::min(spaces.size(), spaces.find_first_not_of(' '));
    const std::basic_string<Unit> padded = spaces + Unit(' ');
    const std::basic_string_view<Unit> text(padded.data(), spaces.size());
    EXPECT_EQ(CountLeadingSpacesByWords<Unit>(text), leading);
    EXPECT_EQ(CountLeadingSpacesOneByOne<Unit>(text), leading);
  }
}

TEST(MarkUnits, MarksAndFindsUnitsAsThePlainLoopDoes) {
  ExpectSameAsPlainLoop<char>(
      {MarkUnitsPortably<char>, [](const char* units, std::size_t count, char,
                                   std::uint64_t* marks) { MarkLineFeeds(units, count, marks); }});
  ExpectSameAsPlainLoop<char16_t>({MarkUnitsPortably<char16_t>});
#ifdef __SSE2__
  ExpectSameAsPlainLoop<char>({MarkUnitsWithSse2<char>});
  ExpectSameAsPlainLoop<char16_t>({MarkUnitsWithSse2<char16_t>});
#endif
}

}  // namespace
}  // namespace tablemend
