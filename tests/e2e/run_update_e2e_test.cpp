// Whole runs over real files: the console, the exit status and every byte left on disk.
#include <filesystem>
#include <string>
#include <vector>

#include "e2e/fixture.h"

namespace tablemend::e2e {
namespace {

const std::string kTable = "STRINGTABLE\r\nBEGIN\r\n  A, \"\"\r\n  B, \"\"\r\nEND\r\n";
const std::string kConvertedTable = "STRINGTABLE\r\nBEGIN\r\n  A, \"EI\"\r\n  B, \"--\"\r\nEND\r\n";

class RunUpdate : public EndToEnd {};

TEST_F(RunUpdate, FirstRunMovesTheFileAsideAndConvertsTheExample) {
  CopyExample("app.rc", "app.rc");
  const std::string original = ReadFile("app.rc");
  const ProcessResult result = Run({"-v", "-f", "app.rc"});
  EXPECT_EQ(result.output, Console(Golden("app.verbose.expected")));
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(ReadFile("app.rc"), Golden("app.rc.expected"));
  EXPECT_EQ(ReadFile("app.rc.original"), original);
  EXPECT_EQ(MaskTimeStamps(ReadFile("app.rc.log")), MaskTimeStamps(Golden("app.rc.log.expected")));
}

TEST_F(RunUpdate, SecondRunRegeneratesTheSameBytesFromTheUntouchedBackup) {
  CopyExample("app.rc", "app.rc");
  const std::string original = ReadFile("app.rc");
  ASSERT_EQ(Run({"-f", "app.rc"}).exitStatus, 0);
  const ProcessResult second = Run({"-f", "app.rc"});
  EXPECT_EQ(second.output, Console("Complete.\n"));
  EXPECT_EQ(second.exitStatus, 0);
  EXPECT_EQ(ReadFile("app.rc"), Golden("app.rc.expected"));
  EXPECT_EQ(ReadFile("app.rc.original"), original);
}

TEST_F(RunUpdate, SilentRunPrintsNothingButStillConverts) {
  WriteFile("a.rc", kTable);
  const ProcessResult result = Run({"-s", "-f", "a.rc"});
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(ReadFile("a.rc"), kConvertedTable);
}

TEST_F(RunUpdate, VerboseLinesShowEvenWhenSilent) {
  WriteFile("a.rc", "STRINGTABLE\r\n{\r\nA, \"\"\r\n}\r\n");
  const ProcessResult result = Run({"-s", "-v", "-f", "a.rc"});
  EXPECT_EQ(result.output,
            Console("Changed line number: 3\n\tFrom: [A, \"\"\n]\n\tTo: [A, \"EI\"\n]\n"));
  EXPECT_EQ(result.exitStatus, 0);
}

TEST_F(RunUpdate, OtherExtensionNamesTheBackupAndIgnoresEarlierOnes) {
  WriteFile("a.rc", kTable);
  WriteFile("a.rc.original", "an older backup under the default extension\r\n");
  const ProcessResult result = Run({"-e", "bak", "-f", "a.rc"});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(ReadFile("a.rc.bak"), kTable);
  EXPECT_EQ(ReadFile("a.rc"), kConvertedTable);
  EXPECT_EQ(ReadFile("a.rc.original"), "an older backup under the default extension\r\n");
}

TEST_F(RunUpdate, LineFeedOnlyFileIsWrittenBackWithCrLf) {
  WriteFile("a.rc", "// lf only\nSTRINGTABLE\nBEGIN\nA, \"\"\nEND\nlast line");
  ASSERT_EQ(Run({"-s", "-f", "a.rc"}).exitStatus, 0);
  EXPECT_EQ(ReadFile("a.rc"),
            "// lf only\r\nSTRINGTABLE\r\nBEGIN\r\nA, \"EI\"\r\nEND\r\nlast line");
  EXPECT_EQ(ReadFile("a.rc.original"), "// lf only\nSTRINGTABLE\nBEGIN\nA, \"\"\nEND\nlast line");
}

TEST_F(RunUpdate, CtrlZEndsTheTextForGood) {
  WriteFile("a.rc", "A\r\nB\x1a\r\nSTRINGTABLE\r\n");
  ASSERT_EQ(Run({"-s", "-f", "a.rc"}).exitStatus, 0);
  EXPECT_EQ(ReadFile("a.rc"), "A\r\nB");
}

TEST_F(RunUpdate, NulBytesAndLoneCarriageReturnsAreCopiedThrough) {
  const std::string input("x\0y\r\rz\r\nSTRINGTABLE\r\nBEGIN\r\nI\0D, \"\"\r\nEND\r\n", 42);
  WriteFile("a.rc", input);
  ASSERT_EQ(Run({"-s", "-f", "a.rc"}).exitStatus, 0);
  EXPECT_EQ(ReadFile("a.rc"),
            std::string("x\0y\r\rz\r\nSTRINGTABLE\r\nBEGIN\r\nI\0D, \"EI\"\r\nEND\r\n", 44));
}

TEST_F(RunUpdate, LargeFileWithoutBlocksRoundTripsByteForByte) {
  std::string input;
  for (int line = 0; input.size() < 3000000; ++line) {
    input += "LINE " + std::to_string(line) +
             std::string(static_cast<std::size_t>(line * 37 % 2100), 'a' + line % 26) + "\r\n";
  }
  WriteFile("big.rc", input);
  ASSERT_EQ(Run({"-s", "-f", "big.rc"}).exitStatus, 0);
  EXPECT_TRUE(ReadFile("big.rc") == input);
  EXPECT_TRUE(ReadFile("big.rc.original") == input);
}

struct RefusalCase {
  std::string name;
  std::vector<std::string> arguments;
  std::string console;
  friend void PrintTo(const RefusalCase& value, std::ostream* out) { *out << value.name; }
};

class RunUpdateRefusals : public EndToEnd, public ::testing::WithParamInterface<RefusalCase> {};

// Each refusal comes before anything is opened, renamed or logged.
TEST_P(RunUpdateRefusals, ReportAndTouchNothing) {
  WriteFile("a.rc", kTable);
  std::filesystem::create_directory(PathOf("folder.rc"));
  const ProcessResult result = Run(GetParam().arguments);
  EXPECT_EQ(result.output, Console(GetParam().console));
  EXPECT_EQ(result.exitStatus, 255);
  EXPECT_EQ(ReadFile("a.rc"), kTable);
  for (const char* name :
       {"a.rc.original", "a.rc.log", "missing.rc.log", "folder.rc.original", "folder.rc.log"}) {
    EXPECT_FALSE(Exists(name)) << name;
  }
  EXPECT_TRUE(std::filesystem::is_directory(PathOf("folder.rc")));
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, RunUpdateRefusals,
    ::testing::Values(
        RefusalCase{"NoFileNamed",
                    {"a.rc", "-v"},
                    "File not given...\nPlease use the -f or --file option to specify a file\n"
                    "Exiting.\n"},
        RefusalCase{"NoFileNamedSilently", {"-s", "-v"}, ""},
        RefusalCase{"MissingFile",
                    {"-f", "missing.rc"},
                    "File given [missing.rc] does not exist.\nExiting.\n"},
        RefusalCase{"MissingFileSilently", {"-s", "-f", "missing.rc"}, ""},
        RefusalCase{"Directory",
                    {"-f", "folder.rc"},
                    "File given [folder.rc] is not a regular file.\nExiting.\n"},
        RefusalCase{"DirectorySilently", {"-f", "folder.rc", "-s"}, ""},
        RefusalCase{"BackupWouldBeTheLog",
                    {"-e", "log", "-f", "a.rc"},
                    "Backup file [a.rc.log] would be the rc file or its log.\n"
                    "Please use the -e or --extension option to choose another extension\n"
                    "Exiting.\n"},
        RefusalCase{"BackupWouldBeTheLogSilently", {"-s", "-e", "log", "-f", "a.rc"}, ""}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return info.param.name; });

TEST_F(RunUpdate, MissingRcFileIsNotRegeneratedFromAnExistingBackup) {
  WriteFile("a.rc.original", kTable);
  const ProcessResult result = Run({"-f", "a.rc"});
  EXPECT_EQ(result.output, Console("File given [a.rc] does not exist.\nExiting.\n"));
  EXPECT_EQ(result.exitStatus, 255);
  EXPECT_FALSE(Exists("a.rc"));
  EXPECT_EQ(ReadFile("a.rc.original"), kTable);
}

}  // namespace
}  // namespace tablemend::e2e
