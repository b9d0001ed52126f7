// The modification-time guard: hand edits after a run are never overwritten.
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "e2e/fixture.h"
#include "support/text_rules_model.h"

namespace tablemend::e2e {
namespace {

const std::string kBanner =
    "*****************************************************************************\n"
    "*****************************************************************************\n"
    "**                                                                         **\n"
    "** The modified time on the rc file is newer than that on the backup file. **\n"
    "** This means the rc file has been modified after the backup file was made.**\n"
    "**                                                                         **\n"
    "** File will not be processed by Tablemend.                                **\n"
    "**                                                                         **\n"
    "*****************************************************************************\n"
    "*****************************************************************************\n";
const std::string kTable = "STRINGTABLE\r\nBEGIN\r\n  A, \"\"\r\nEND\r\n";
const std::string kConverted = "STRINGTABLE\r\nBEGIN\r\n  A, \"EI\"\r\nEND\r\n";
const std::string kEdited = "STRINGTABLE\r\nBEGIN\r\n  A, \"edited by hand\"\r\nEND\r\n";

class ModificationGuard : public EndToEnd {
 protected:
  std::filesystem::file_time_type TimeOf(const std::string& name) const {
    return std::filesystem::last_write_time(PathOf(name));
  }
  void SetTime(const std::string& name, std::filesystem::file_time_type time) const {
    std::filesystem::last_write_time(PathOf(name), time);
  }
  // After a completed run the backup's time is never earlier than the rc file's.
  void ExpectStampedAfterTheRcFile() const {
    EXPECT_GE(TimeOf("a.rc.original"), TimeOf("a.rc"));
    EXPECT_EQ(ReadFile("a.rc.original"), kTable);
  }
};

TEST_F(ModificationGuard, FirstRunStampsTheBackupWithAFreshTime) {
  WriteFile("a.rc", kTable);
  SetTime("a.rc", TimeOf("a.rc") - std::chrono::hours(24 * 365));
  const auto start = std::filesystem::file_time_type::clock::now();
  const ProcessResult result = Run({"-f", "a.rc"});
  EXPECT_EQ(result.output, Console("Complete.\n"));
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_GE(TimeOf("a.rc.original"), start - std::chrono::seconds(1));
  ExpectStampedAfterTheRcFile();
}

TEST_F(ModificationGuard, RunRightAfterARunIsNeverRefused) {
  WriteFile("a.rc", kTable);
  for (int round = 0; round < 100; ++round) {
    const ProcessResult result = Run({"-f", "a.rc"});
    ASSERT_EQ(result.output, Console("Complete.\n")) << "round " << round;
    ASSERT_EQ(result.exitStatus, 0);
    ExpectStampedAfterTheRcFile();
  }
  EXPECT_EQ(ReadFile("a.rc"), kConverted);
}

TEST_F(ModificationGuard, HandEditAfterARunIsRefusedAndKept) {
  WriteFile("a.rc", kTable);
  ASSERT_EQ(Run({"-f", "a.rc"}).exitStatus, 0);
  const std::string logBefore = ReadFile("a.rc.log");
  // Past the file system's clock tick, so the edit's time differs from the stamp.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  WriteFile("a.rc", kEdited);
  for (const char* silence : {"-v", "-s"}) {
    const ProcessResult result = Run({silence, "-f", "a.rc"});
    EXPECT_EQ(result.output, Console(kBanner)) << silence;
    EXPECT_EQ(result.exitStatus, 255);
  }
  EXPECT_EQ(ReadFile("a.rc"), kEdited);
  EXPECT_EQ(ReadFile("a.rc.original"), kTable);
  const std::string refusal = kMaskedLogHeader + model::StoreText(kBanner) + kMaskedLogFooter;
  const std::string log = ReadFile("a.rc.log");
  ASSERT_EQ(log.substr(0, logBefore.size()), logBefore);
  EXPECT_EQ(MaskTimeStamps(log.substr(logBefore.size())), refusal + refusal);
}

TEST_F(ModificationGuard, RcFileTimeLaterThanTheBackupsIsRefused) {
  WriteFile("a.rc", kTable);
  ASSERT_EQ(Run({"-f", "a.rc"}).exitStatus, 0);
  SetTime("a.rc", TimeOf("a.rc.original") + std::chrono::microseconds(1));
  const ProcessResult result = Run({"-f", "a.rc"});
  EXPECT_EQ(result.output, Console(kBanner));
  EXPECT_EQ(result.exitStatus, 255);
}

TEST_F(ModificationGuard, EqualTimesAreAllowed) {
  WriteFile("a.rc", kEdited);
  WriteFile("a.rc.original", kTable);
  const auto time = TimeOf("a.rc") - std::chrono::hours(1);
  SetTime("a.rc", time);
  SetTime("a.rc.original", time);
  const ProcessResult result = Run({"-f", "a.rc"});
  EXPECT_EQ(result.output, Console("Complete.\n"));
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(ReadFile("a.rc"), kConverted);
  ExpectStampedAfterTheRcFile();
}

TEST_F(ModificationGuard, TouchingTheBackupAllowsTheNextRun) {
  WriteFile("a.rc", kTable);
  ASSERT_EQ(Run({"-f", "a.rc"}).exitStatus, 0);
  SetTime("a.rc", TimeOf("a.rc.original") + std::chrono::seconds(5));
  ASSERT_EQ(Run({"-f", "a.rc"}).exitStatus, 255);
  SetTime("a.rc.original", TimeOf("a.rc"));
  EXPECT_EQ(Run({"-f", "a.rc"}).exitStatus, 0);
  EXPECT_EQ(ReadFile("a.rc"), kConverted);
}

struct ReadErrorCase {
  std::string name;
  std::string unreadable;
  std::string console;
  friend void PrintTo(const ReadErrorCase& value, std::ostream* out) { *out << value.name; }
};

class ModificationGuardReadErrors : public ModificationGuard,
                                    public ::testing::WithParamInterface<ReadErrorCase> {};

// A file the user may not read has no time to compare: one line, whatever -s says, and the
// files stay as they were.
TEST_P(ModificationGuardReadErrors, ReportOneLineAndTouchNothing) {
  if (const std::string why = WhyNoPrivilegeDrop(); !why.empty()) {
    GTEST_SKIP() << why;
  }
  WriteFile("a.rc", kConverted);
  WriteFile("a.rc.original", kTable);
  WriteFile("a.rc.log", "");
  std::filesystem::permissions(PathOf(""), std::filesystem::perms(0777));
  std::filesystem::permissions(PathOf("a.rc.log"), std::filesystem::perms(0666));
  std::filesystem::permissions(PathOf("a.rc"), std::filesystem::perms(0666));
  std::filesystem::permissions(PathOf("a.rc.original"), std::filesystem::perms(0666));
  std::filesystem::permissions(PathOf(GetParam().unreadable), std::filesystem::perms(0222));
  for (const char* silence : {"-v", "-s"}) {
    const ProcessResult result = RunWithPrefix(UnprivilegedPrefix(), {silence, "-f", "a.rc"});
    EXPECT_EQ(result.output, Console(GetParam().console)) << silence;
    EXPECT_EQ(result.exitStatus, 255);
  }
  EXPECT_EQ(ReadFile("a.rc"), kConverted);
  EXPECT_EQ(ReadFile("a.rc.original"), kTable);
  EXPECT_EQ(CountTimeStamps(ReadFile("a.rc.log")), 2) << "two headers, no footer";
}

INSTANTIATE_TEST_SUITE_P(
    Files, ModificationGuardReadErrors,
    ::testing::Values(
        ReadErrorCase{"RcFile", "a.rc",
                      "****ERROR: Unable to retrieve last time rc file was writen to.\n"},
        ReadErrorCase{"Backup", "a.rc.original",
                      "ERROR: Unable to retrieve last time backup file was writen to.\n"}),
    [](const ::testing::TestParamInfo<ReadErrorCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tablemend::e2e
