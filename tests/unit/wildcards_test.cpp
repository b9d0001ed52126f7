// Names with wildcards, which the Windows program expands itself: a pattern must take exactly the
// files a user means, or a backup could be taken for a script. (The expansion over a folder runs
// where it is used, under Wine: tests/e2e/windows.bats.)
#include <gtest/gtest.h>

#include "app/wildcards.h"
#include "platform/platform.h"

namespace tablemend {
namespace {

TEST(MatchesWildcard, TakesNamesCharacterByCharacter) {
  const struct {
    const char* name;
    const char* pattern;
    bool matches;
  } cases[] = {
      {"a.rc", "*.rc", true},
      {"a.rc.original", "*.rc", false},
      {"a.rc.log", "*.rc*", true},
      {"ab.rc", "?.rc", false},
      {".rc", "?.rc", false},
      {"été.rc", "?t?.rc", true},
      {"abcabd", "*ab?", true},
      {"aXbXcX", "*X*X?", false},
      {"aXbXc", "a*X*?", true},
      {"ab", "a**", true},
      {"", "*", true},
      {"a", "", false},
      {"a.rc", "a.rc", true},
      {"a.rc", "b.rc", false},
      {"ab", "*c", false},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(MatchesWildcard(test.name, test.pattern), test.matches)
        << test.name << " " << test.pattern;
  }
  // As the file system compares names: without regard to case on Windows.
  EXPECT_EQ(MatchesWildcard("App.RC", "a*.rc"), CompareFileNames("A", "a") == 0);
}

}  // namespace
}  // namespace tablemend
