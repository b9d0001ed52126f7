// Names as Windows users type them, which the program reads itself: "/?" asks for help, and a
// pattern stands for the files of its folder that match it. A pattern must take exactly the files
// a user means, or a backup could be taken for a script. The Windows style runs here as it does
// there, over a folder of this system; what only Windows shows (cmd.exe's quoting, short names)
// is tests/e2e/windows.bats'.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/command_line.h"
#include "app/named_files.h"
#include "app/wildcards.h"
#include "platform/platform.h"

namespace tablemend {
namespace {

TEST(MatchesWildcard, TakesNamesCharacterByCharacter) {
  const struct {
    const char* name;
    const char* pattern;
    bool matches;
  } cases[] = {{"a.rc", "*.rc", true},
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
               {"ab", "*c", false}};
  for (const auto& test : cases) {
    EXPECT_EQ(MatchesWildcard(test.name, test.pattern), test.matches)
        << test.name << " " << test.pattern;
  }
  // As the file system compares names: without regard to case on Windows.
  EXPECT_EQ(MatchesWildcard("App.RC", "a*.rc"), CompareFileNames("A", "a") == 0);
}

// The names a Windows-style command line stands for, in a folder with scripts, their backup, a
// folder whose name matches, and a file of another kind.
std::vector<std::string> NamesOf(std::vector<const char*> arguments, CommandLineAction& action) {
  arguments.insert(arguments.begin(), "Tablemend.exe");
  const CommandLine commandLine = ParseCommandLine(static_cast<int>(arguments.size()),
                                                   arguments.data(), CommandLineStyle::kWindows);
  action = commandLine.action;
  std::vector<std::string> names;
  for (const NamedFile& file : ResolveNames(commandLine)) {
    names.push_back(file.path);
  }
  return names;
}

TEST(WindowsCommandLine, ExpandsPatternsToTheFilesOfAFolderInTheOrderOfTheirNames) {
  namespace fs = std::filesystem;
  const fs::path folder =
      fs::temp_directory_path() / ("tablemend-names-" + std::to_string(getpid()));
  fs::create_directories(folder / "sub.rc");
  for (const char* name : {"b.rc", "C.rc", "a.rc", "a.rc.original", "notes.txt"}) {
    std::ofstream(folder / name) << "x";
  }
  const std::string prefix = folder.string() + "/";
  const std::string pattern = prefix + "*.rc";
  CommandLineAction action;
  // Bytes order the names here, as the file system compares them (regardless of case on Windows).
  std::vector<std::string> expected = {prefix + "C.rc", prefix + "a.rc", prefix + "b.rc"};
  if (CompareFileNames("c", "C") == 0) {
    expected = {prefix + "a.rc", prefix + "b.rc", prefix + "C.rc"};
  }
  EXPECT_EQ(NamesOf({pattern.c_str()}, action), expected);
  const std::string none = prefix + "x*.rc";
  EXPECT_EQ(NamesOf({"-s", none.c_str(), "--", "/?"}, action),
            (std::vector<std::string>{none, "/?"}));
  EXPECT_EQ(action, CommandLineAction::kProcessFiles);
  NamesOf({pattern.c_str(), "/?"}, action);
  EXPECT_EQ(action, CommandLineAction::kShowUsage);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace tablemend
