// Path rules of Windows file systems, which only a Windows build meets: trailing dots and spaces
// dropped from names, case not counting, backslashes between folders.
#include <filesystem>
#include <string>
#include <vector>

#include "e2e/fixture.h"

namespace tablemend::e2e {
namespace {

const std::string kTable = "STRINGTABLE\r\nBEGIN\r\n  A, \"\"\r\nEND\r\n";
const std::string kConverted = "STRINGTABLE\r\nBEGIN\r\n  A, \"EI\"\r\nEND\r\n";

class WindowsPaths : public EndToEnd {
 protected:
  void SetUp() override {
    if (!Config().windowsProgram) {
      GTEST_SKIP() << "Windows path rules: tested against the Windows build (--windows)";
    }
    EndToEnd::SetUp();
  }
};

struct ExtensionCase {
  std::string name;
  std::string extension;
  friend void PrintTo(const ExtensionCase& value, std::ostream* out) { *out << value.name; }
};

class WindowsExtensions : public WindowsPaths,
                          public ::testing::WithParamInterface<ExtensionCase> {};

// Such a backup would be the rc file itself, or its log: the run refuses before it touches
// anything, where renaming and rewriting would have lost the rc file's text.
TEST_P(WindowsExtensions, ThatNameTheRcFileOrTheLogAreRefused) {
  WriteFile("a.rc", kTable);
  const ProcessResult result = Run({"-e", GetParam().extension, "-f", "a.rc"});
  EXPECT_EQ(result.output, Console("Backup file [a.rc." + GetParam().extension +
                                   "] would be the rc file or its log.\n"
                                   "Please use the -e or --extension option to choose another "
                                   "extension\n"
                                   "Exiting.\n"));
  EXPECT_EQ(result.exitStatus, 255);
  EXPECT_EQ(ReadFile("a.rc"), kTable);
  EXPECT_FALSE(Exists("a.rc.log"));
}

INSTANTIATE_TEST_SUITE_P(Names, WindowsExtensions,
                         ::testing::Values(ExtensionCase{"Empty", ""}, ExtensionCase{"Dot", "."},
                                           ExtensionCase{"Dots", ".."}, ExtensionCase{"Space", " "},
                                           ExtensionCase{"DotsAndSpaces", ". ."},
                                           ExtensionCase{"LogWithDot", "log."},
                                           ExtensionCase{"LogInCapitals", "LOG"}),
                         [](const ::testing::TestParamInfo<ExtensionCase>& info) {
                           return info.param.name;
                         });

TEST_F(WindowsPaths, BackslashesSeparateFolders) {
  std::filesystem::create_directories(PathOf("res/en"));
  WriteFile("res/en/a.rc", kTable);
  const ProcessResult result = Run({"-f", "res\\en\\a.rc"});
  EXPECT_EQ(result.output, Console("Complete.\n"));
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(ReadFile("res/en/a.rc"), kConverted);
  EXPECT_EQ(ReadFile("res/en/a.rc.original"), kTable);
  EXPECT_EQ(CountTimeStamps(ReadFile("res/en/a.rc.log")), 2);
}

TEST_F(WindowsPaths, FolderNamedAsTheFileWithABackslashIsRefused) {
  std::filesystem::create_directories(PathOf("res/a.rc"));
  const ProcessResult result = Run({"-f", "res\\a.rc"});
  EXPECT_EQ(result.output, Console("File given [res\\a.rc] is not a regular file.\nExiting.\n"));
  EXPECT_EQ(result.exitStatus, 255);
  EXPECT_TRUE(std::filesystem::is_directory(PathOf("res/a.rc")));
  EXPECT_FALSE(Exists("res/a.rc.original"));
  EXPECT_FALSE(Exists("res/a.rc.log"));
}

}  // namespace
}  // namespace tablemend::e2e
