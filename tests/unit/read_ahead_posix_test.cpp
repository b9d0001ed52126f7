// Reading ahead is only ever a hint, but it opens files a run has not checked yet: it must take
// a regular file alone, as opening a pipe or a device can itself do something, and say where
// there is none, so that a first run reads ahead its script rather than a backup it lacks.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/platform.h"

namespace tablemend {
namespace {

TEST(StartReadingAhead, TakesRegularFilesAlone) {
  namespace fs = std::filesystem;
  const fs::path folder =
      fs::temp_directory_path() / ("tablemend-read-ahead-" + std::to_string(getpid()));
  fs::create_directories(folder / "folder");
  std::ofstream(folder / "empty.rc").close();
  std::ofstream(folder / "a.rc.log") << std::string(10000, 'x');
  ASSERT_EQ(mkfifo((folder / "pipe.rc").c_str(), 0600), 0);
  for (const FilePart part : {FilePart::kStart, FilePart::kEnd}) {
    EXPECT_TRUE(StartReadingAhead((folder / "a.rc.log").string(), part));
    EXPECT_TRUE(StartReadingAhead((folder / "empty.rc").string(), part));
    EXPECT_FALSE(StartReadingAhead((folder / "missing.rc").string(), part));
    EXPECT_FALSE(StartReadingAhead((folder / "folder").string(), part));
    EXPECT_FALSE(StartReadingAhead((folder / "pipe.rc").string(), part));
    EXPECT_FALSE(StartReadingAhead("/dev/null", part));
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace tablemend
