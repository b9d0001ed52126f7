#include "safeguard/run_log.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "app/run_update.h"
#include "scratch_folder.h"

namespace tablemend {
namespace {

std::tm MakeTime(int year, int month, int day, int weekDay, int hour, int minute, int second) {
  std::tm time{};
  time.tm_year = year - 1900;
  time.tm_mon = month - 1;
  time.tm_mday = day;
  time.tm_wday = weekDay;
  time.tm_hour = hour;
  time.tm_min = minute;
  time.tm_sec = second;
  return time;
}

// The clock of the stored logs: Saturday, 5 December 2026, 09:03:04.
std::tm FixedClock() {
  return MakeTime(2026, 12, 5, 6, 9, 3, 4);
}

struct StampCase {
  std::tm time;
  std::string text;
  friend void PrintTo(const StampCase& value, std::ostream* out) {
    *out << value.text.substr(0, 24);
  }
};

class FormatTimeStampTest : public ::testing::TestWithParam<StampCase> {};

TEST_P(FormatTimeStampTest, WritesTwentyFourCharactersAndALineFeed) {
  EXPECT_EQ(FormatTimeStamp(GetParam().time), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Stamps, FormatTimeStampTest,
    ::testing::Values(StampCase{FixedClock(), "Sat Dec 05 09:03:04 2026\n"},
                      StampCase{MakeTime(2023, 1, 1, 0, 0, 0, 0), "Sun Jan 01 00:00:00 2023\n"},
                      StampCase{MakeTime(2024, 2, 29, 4, 23, 59, 59), "Thu Feb 29 23:59:59 2024\n"},
                      StampCase{MakeTime(2031, 7, 14, 1, 12, 30, 7), "Mon Jul 14 12:30:07 2031\n"},
                      StampCase{MakeTime(1999, 10, 31, 0, 13, 5, 60),
                                "Sun Oct 31 13:05:60 1999\n"}));

// The real clock gives the local time now, in the same format.
TEST(ReadLocalClock, GivesTheTimeOfTheCall) {
  const std::time_t before = std::time(nullptr);
  const std::string stamp = FormatTimeStamp(ReadLocalClock());
  const std::time_t after = std::time(nullptr);
  bool withinTheCall = false;
  for (std::time_t moment = before; moment <= after; ++moment) {
    withinTheCall = withinTheCall || stamp == FormatTimeStamp(*std::localtime(&moment));
  }
  EXPECT_TRUE(withinTheCall) << stamp;
}

std::string EntryFor(long long lineNumber, std::string_view oldLine, std::string_view newLine) {
  std::string text;
  RunLog log;
  AttachTextWriter(text, log.writer);
  WriteChangeEntry(log, ChangeRecord{lineNumber, oldLine, newLine});
  CloseRunLog(log);
  return text;
}

TEST(WriteChangeEntry, FormatsTheLineAsReadAndItsReplacement) {
  EXPECT_EQ(EntryFor(3, "  A, \"\"\n", "  A, \"EI\"\n"),
            "Changing line number: 3\r\n\tOld Line:\r\n\t  A, \"\"\r\n\r\n"
            "\tNew Line:\r\n\t  A, \"EI\"\r\n\r\n");
  // A last line without a line feed has no empty line after it.
  EXPECT_EQ(EntryFor(12, "B, \"\"", "B, \"--\"\n"),
            "Changing line number: 12\r\n\tOld Line:\r\n\tB, \"\"\r\n"
            "\tNew Line:\r\n\tB, \"--\"\r\n\r\n");
}

// The whole log of a run over the example, byte for byte, with the clock fixed.
TEST(RunLogOfARun, MatchesTheStoredLogOfTheExample) {
  ScratchFolder folder;
  std::ifstream example(std::string(TABLEMEND_SOURCE_DIR) + "/examples/app.rc", std::ios::binary);
  folder.Write("app.rc", std::string(std::istreambuf_iterator<char>(example),
                                     std::istreambuf_iterator<char>()));
  RunSettings settings;
  settings.rcPath = folder.PathOf("app.rc");
  settings.silent = true;
  ASSERT_EQ(RunUpdate(settings, FixedClock), 0);
  std::ifstream expected(std::string(TABLEMEND_SOURCE_DIR) + "/tests/golden/app.rc.log.expected",
                         std::ios::binary);
  EXPECT_EQ(folder.Read("app.rc.log"), std::string(std::istreambuf_iterator<char>(expected),
                                                   std::istreambuf_iterator<char>()));
}

TEST(RunLogOfARun, WithoutRewritesHoldsTheHeaderThenTheFooter) {
  ScratchFolder folder;
  folder.Write("plain.rc", "// nothing to change\r\n");
  RunSettings settings;
  settings.rcPath = folder.PathOf("plain.rc");
  settings.silent = true;
  ASSERT_EQ(RunUpdate(settings, FixedClock), 0);
  EXPECT_EQ(folder.Read("plain.rc.log"),
            "====================================================================\r\n"
            " Log created by Tablemend.exe \r\n"
            "\r\n"
            " Starting New Log on:\r\n"
            "\t\tSat Dec 05 09:03:04 2026\r\n"
            "====================================================================\r\n"
            "Update of .rc Files complete\r\n"
            "Ending Log on: Sat Dec 05 09:03:04 2026\r\n"
            "\r\n");
}

}  // namespace
}  // namespace tablemend
