// Names with wildcards, which the Windows program expands itself: a pattern must take exactly the
// files a user means, or a backup could be taken for a script.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

TEST(ExpandWildcards, GivesTheMatchingFilesOfTheFolderInTheOrderOfTheirNames) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(::testing::TempDir()) / "tablemend-wildcards";
  fs::remove_all(folder);
  fs::create_directories(folder / "sub.rc");
  for (const char* name : {"b.rc", "A.rc", "A.rc.original", "c.txt"}) {
    std::ofstream(folder / name) << "x";
  }
  const std::string prefix = folder.generic_string() + "/";
  const std::vector<std::string> expanded =
      ExpandWildcards({prefix + "*.rc", "x", prefix + "none*", "*/a.rc", prefix + "?.txt"});
  const std::vector<std::string> expected = {prefix + "A.rc",  prefix + "b.rc", "x",
                                             prefix + "none*", "*/a.rc",        prefix + "c.txt"};
  EXPECT_EQ(expanded, expected);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace tablemend
