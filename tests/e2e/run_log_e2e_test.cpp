// The log beside the rc file, as runs leave it on disk.
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "e2e/fixture.h"

namespace tablemend::e2e {
namespace {

const std::string kTable = "STRINGTABLE\r\nBEGIN\r\n  A, \"\"\r\nEND\r\n";

class RunLog : public EndToEnd {};

TEST_F(RunLog, FirstRunOverTheExampleWritesTheStoredLog) {
  CopyExample("app.rc", "app.rc");
  ASSERT_EQ(Run({"-f", "app.rc"}).exitStatus, 0);
  const std::string log = ReadFile("app.rc.log");
  EXPECT_EQ(CountTimeStamps(log), 2);
  EXPECT_EQ(MaskTimeStamps(log), MaskTimeStamps(Golden("app.rc.log.expected")));
}

TEST_F(RunLog, TwoRunsAppendTwoHistoriesAndKeepTheFirst) {
  CopyExample("app.rc", "app.rc");
  ASSERT_EQ(Run({"-s", "-f", "app.rc"}).exitStatus, 0);
  const std::string first = ReadFile("app.rc.log");
  ASSERT_EQ(Run({"-s", "-f", "app.rc"}).exitStatus, 0);
  const std::string both = ReadFile("app.rc.log");
  EXPECT_EQ(both.substr(0, first.size()), first);
  const std::string once = MaskTimeStamps(Golden("app.rc.log.expected"));
  EXPECT_EQ(MaskTimeStamps(both), once + once);
}

TEST_F(RunLog, RunWithoutRewritesHasTheFooterRightAfterTheHeader) {
  WriteFile("a.rc", "// no string table\r\n");
  ASSERT_EQ(Run({"-f", "a.rc"}).exitStatus, 0);
  EXPECT_EQ(MaskTimeStamps(ReadFile("a.rc.log")), kMaskedLogHeader + kMaskedLogFooter);
}

TEST_F(RunLog, ExistingLogIsAppendedToNeverTruncated) {
  WriteFile("a.rc", kTable);
  WriteFile("a.rc.log", "kept from before\r\n");
  ASSERT_EQ(Run({"-s", "-f", "a.rc"}).exitStatus, 0);
  EXPECT_EQ(MaskTimeStamps(ReadFile("a.rc.log")),
            "kept from before\r\n" + kMaskedLogHeader +
                "Changing line number: 3\r\n\tOld Line:\r\n\t  A, \"\"\r\n\r\n"
                "\tNew Line:\r\n\t  A, \"EI\"\r\n\r\n" +
                kMaskedLogFooter);
}

const std::string kLogOpenReport =
    "Unable to open a.rc.log for writing log information\n"
    "Make sure that you have permission to write to the file.\n"
    "Exiting.\n";

// A folder where the log should be is a fault that bites whoever runs the program.
TEST_F(RunLog, LogThatCannotBeOpenedStopsTheRunBeforeTheBackup) {
  WriteFile("a.rc", kTable);
  std::filesystem::create_directory(PathOf("a.rc.log"));
  const ProcessResult loud = Run({"-f", "a.rc"});
  EXPECT_EQ(loud.output, Console(kLogOpenReport));
  EXPECT_EQ(loud.exitStatus, 255);
  const ProcessResult silent = Run({"-s", "-f", "a.rc"});
  EXPECT_EQ(silent.output, "");
  EXPECT_EQ(silent.exitStatus, 255);
  EXPECT_EQ(ReadFile("a.rc"), kTable);
  EXPECT_FALSE(Exists("a.rc.original"));
}

TEST_F(RunLog, LogInAFolderTheUserMayNotWriteStopsTheRun) {
  if (const std::string why = WhyNoPrivilegeDrop(); !why.empty()) {
    GTEST_SKIP() << why;
  }
  WriteFile("a.rc", kTable);
  std::filesystem::permissions(PathOf(""), std::filesystem::perms(0755));
  const ProcessResult result = RunWithPrefix(UnprivilegedPrefix(), {"-f", "a.rc"});
  EXPECT_EQ(result.output, Console(kLogOpenReport));
  EXPECT_EQ(result.exitStatus, 255);
  EXPECT_EQ(ReadFile("a.rc"), kTable);
  EXPECT_FALSE(Exists("a.rc.log"));
  EXPECT_FALSE(Exists("a.rc.original"));
}

// A failure after the header leaves the header alone: here the folder refuses the backup's
// rename while the log, writable by everyone, takes the header.
TEST_F(RunLog, RunStoppedAfterTheHeaderLeavesTheHeaderAlone) {
  if (const std::string why = WhyNoPrivilegeDrop(); !why.empty()) {
    GTEST_SKIP() << why;
  }
  WriteFile("a.rc", kTable);
  WriteFile("a.rc.log", "");
  std::filesystem::permissions(PathOf("a.rc.log"), std::filesystem::perms(0666));
  std::filesystem::permissions(PathOf(""), std::filesystem::perms(0755));
  const ProcessResult result = RunWithPrefix(UnprivilegedPrefix(), {"-f", "a.rc"});
  EXPECT_EQ(result.output, Console("Unable to make backup file\n"
                                   "Make sure that you have write permission to the directory "
                                   "the file is in.\n"
                                   "Exiting.\n"));
  EXPECT_EQ(result.exitStatus, 255);
  EXPECT_EQ(MaskTimeStamps(ReadFile("a.rc.log")), kMaskedLogHeader);
  EXPECT_EQ(ReadFile("a.rc"), kTable);
  EXPECT_FALSE(Exists("a.rc.original"));
}

// A log the disk cannot take in full costs the history, never the rc file: the rc file is written
// whole, and the run still ends as a failure a build script can see.
TEST_F(RunLog, LogWriteFailureKeepsTheRcFileWholeAndIsReported) {
  std::string table = "STRINGTABLE\r\nBEGIN\r\n";
  std::string converted = table + "A, \"EI\"\r\n";
  table += "A, \"\"\r\n";
  for (int entry = 0; entry < 100; ++entry) {
    table += "A, \"\"\r\n";
    converted += "A, \"--\"\r\n";
  }
  WriteFile("a.rc", table + "END\r\n");
  // 2 KiB take the rc file (about 1 KiB) but not the log's hundred entries.
  const ProcessResult result = RunWithPrefix(
      {"/bin/sh", "-c", "ulimit -f 4 && trap '' XFSZ && exec \"$@\"", "sh"}, {"-f", "a.rc"});
  EXPECT_EQ(result.output, Console("Unable to write log information to a.rc.log\n"
                                   "The rc file was updated; only its log is incomplete.\n"
                                   "Exiting.\n"));
  EXPECT_EQ(result.exitStatus, 255);
  EXPECT_EQ(ReadFile("a.rc"), converted + "END\r\n");
  EXPECT_EQ(ReadFile("a.rc.original"), table + "END\r\n");
}

}  // namespace
}  // namespace tablemend::e2e
