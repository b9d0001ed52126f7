// The log's time stamp, which the end-to-end tests mask.
#include <gtest/gtest.h>

#include "safeguard/run_log.h"

namespace tablemend {
namespace {

TEST(FormatTimeStamp, WritesEnglishNamesAndTwoDigitFields) {
  std::tm time{};
  time.tm_year = 2026 - 1900;
  time.tm_mon = 11;
  time.tm_mday = 31;
  time.tm_wday = 4;
  time.tm_hour = 20;
  time.tm_min = 9;
  time.tm_sec = 58;
  EXPECT_EQ(FormatTimeStamp(time), "Thu Dec 31 20:09:58 2026\n");
}

}  // namespace
}  // namespace tablemend
