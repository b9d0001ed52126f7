// Pins what a run writes for a generated script by digests taken before any speed work, so
// that making the program faster can never change a byte it writes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>

#include "app/run_update.h"
#include "rc_generator.h"
#include "scratch_folder.h"

namespace tablemend {
namespace {

// FNV-1a, 64 bits: a stable digest, the same on every platform.
std::string Digest(const std::string& bytes) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (unsigned char byte : bytes) {
    hash = (hash ^ byte) * 0x100000001b3ULL;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

std::tm FixedClock() {
  std::tm time{};
  time.tm_year = 126;
  time.tm_mon = 11;
  time.tm_mday = 5;
  time.tm_wday = 6;
  time.tm_hour = 9;
  time.tm_min = 3;
  time.tm_sec = 4;
  return time;
}

TEST(PinnedOutput, GeneratedScriptConvertsToTheStoredDigests) {
  const std::string script = bench::GenerateScript(7, 512 * 1024);
  ASSERT_EQ(Digest(script), "885d73d63e1a694f");
  ScratchFolder folder;
  folder.Write("big.rc", script);
  RunSettings settings;
  settings.rcPath = folder.PathOf("big.rc");
  settings.silent = true;
  ASSERT_EQ(RunUpdate(settings, FixedClock), 0);
  EXPECT_EQ(Digest(folder.Read("big.rc")), "a7299f247c569785");
  EXPECT_EQ(Digest(folder.Read("big.rc.log")), "2034ee666f2e4559");
  EXPECT_EQ(Digest(folder.Read("big.rc.original")), Digest(script));
}

}  // namespace
}  // namespace tablemend
