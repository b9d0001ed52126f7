#include "platform/platform.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#endif

#include <chrono>
#include <filesystem>
#include <string>

#include "scratch_folder.h"

namespace tablemend {
namespace {

TEST(QueryPathKind, TellsFilesFoldersAndNothing) {
  ScratchFolder folder;
  folder.Write("a.rc", "x");
  std::filesystem::create_directory(folder.PathOf("sub"));
  EXPECT_EQ(QueryPathKind(folder.PathOf("a.rc")), PathKind::kRegularFile);
  EXPECT_EQ(QueryPathKind(folder.PathOf("sub")), PathKind::kDirectory);
  EXPECT_EQ(QueryPathKind(folder.PathOf("none.rc")), PathKind::kMissing);
  EXPECT_TRUE(FileExists(folder.PathOf("sub")));
  EXPECT_FALSE(FileExists(folder.PathOf("none.rc")));
}

TEST(PathsDenoteSameFile, SeesThroughFolderSpellings) {
  ScratchFolder folder;
  folder.Write("a.rc", "x");
  std::filesystem::create_directory(folder.PathOf("sub"));
  const std::string rc = folder.PathOf("a.rc");
  EXPECT_TRUE(PathsDenoteSameFile(rc, rc));
  EXPECT_TRUE(PathsDenoteSameFile(rc, folder.PathOf("sub/../a.rc")));
  EXPECT_TRUE(PathsDenoteSameFile(folder.PathOf("a.rc.log"), folder.PathOf("./sub/../a.rc.log")));
  EXPECT_FALSE(PathsDenoteSameFile(rc, rc + ".log"));
  EXPECT_FALSE(PathsDenoteSameFile(rc + ".original", rc + ".log"));
}

TEST(FileOpens, WriteCutsAppendKeepsAndExistingWriteNeedsAFile) {
  ScratchFolder folder;
  folder.Write("a", "old");
  folder.Write("b", "old");
  FileHandle file;
  ASSERT_TRUE(OpenForWriting(folder.PathOf("a"), file));
  ASSERT_TRUE(WriteBytes(file, "new", 3));
  ASSERT_TRUE(CloseFile(file));
  EXPECT_EQ(folder.Read("a"), "new");
  ASSERT_TRUE(OpenForAppending(folder.PathOf("b"), file));
  ASSERT_TRUE(WriteBytes(file, "+more", 5));
  ASSERT_TRUE(CloseFile(file));
  EXPECT_EQ(folder.Read("b"), "old+more");
  ASSERT_TRUE(OpenForAppending(folder.PathOf("c"), file));
  ASSERT_TRUE(CloseFile(file));
  EXPECT_TRUE(FileExists(folder.PathOf("c")));
  EXPECT_FALSE(OpenExistingForWriting(folder.PathOf("d"), file));
  EXPECT_FALSE(FileExists(folder.PathOf("d")));
  ASSERT_TRUE(OpenExistingForWriting(folder.PathOf("b"), file));
  ASSERT_TRUE(CloseFile(file));
  EXPECT_EQ(folder.Read("b"), "old+more");
}

TEST(RenameFile, MovesAndKeepsTheBytes) {
  ScratchFolder folder;
  folder.Write("a.rc", "text");
  EXPECT_TRUE(RenameFile(folder.PathOf("a.rc"), folder.PathOf("a.rc.original")));
  EXPECT_FALSE(FileExists(folder.PathOf("a.rc")));
  EXPECT_EQ(folder.Read("a.rc.original"), "text");
  EXPECT_FALSE(RenameFile(folder.PathOf("a.rc"), folder.PathOf("b.rc")));
}

TEST(FileTimes, UnopenedFileHasNoTime) {
  FileHandle none;
  FileTime time;
  EXPECT_FALSE(GetLastWriteTime(none, time));
  EXPECT_FALSE(SetLastWriteTimeToNow(none));
}

TEST(FileTimes, CompareOrdersTimes) {
  EXPECT_EQ(CompareLastWriteTimes({5, 0}, {5, 0}), 0);
  EXPECT_LT(CompareLastWriteTimes({5, 0}, {6, 0}), 0);
  EXPECT_GT(CompareLastWriteTimes({6, 0}, {5, 0}), 0);
#ifndef _WIN32
  // Nanoseconds count: two writes within one second are told apart.
  EXPECT_GT(CompareLastWriteTimes({5, 1}, {5, 0}), 0);
  EXPECT_LT(CompareLastWriteTimes({5, 1}, {5, 2}), 0);
#endif
}

// The stamp moves the last-write time to now and nothing else: not the content, not the
// last-access time.
TEST(FileTimes, StampSetsOnlyTheLastWriteTimeToNow) {
  ScratchFolder folder;
  folder.Write("b", "backup text");
  const std::string path = folder.PathOf("b");
  const auto longAgo = std::filesystem::last_write_time(path) - std::chrono::hours(24 * 400);
  std::filesystem::last_write_time(path, longAgo);
  FileHandle file;
  FileTime before;
  ASSERT_TRUE(OpenForReading(path, file));
  ASSERT_TRUE(GetLastWriteTime(file, before));
  ASSERT_TRUE(CloseFile(file));
  const auto start = std::filesystem::file_time_type::clock::now();
  ASSERT_TRUE(OpenExistingForWriting(path, file));
  ASSERT_TRUE(SetLastWriteTimeToNow(file));
  ASSERT_TRUE(CloseFile(file));
  FileTime after;
  ASSERT_TRUE(OpenForReading(path, file));
  ASSERT_TRUE(GetLastWriteTime(file, after));
  EXPECT_GT(CompareLastWriteTimes(after, before), 0);
  EXPECT_GE(std::filesystem::last_write_time(path), start - std::chrono::seconds(1));
  EXPECT_EQ(folder.Read("b"), "backup text");
}

#ifndef _WIN32
TEST(FileTimes, StampLeavesTheLastAccessTime) {
  ScratchFolder folder;
  folder.Write("b", "backup text");
  const std::string path = folder.PathOf("b");
  const timespec old[2] = {{1000000000, 5}, {1000000000, 5}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
  FileHandle file;
  ASSERT_TRUE(OpenExistingForWriting(path, file));
  ASSERT_TRUE(SetLastWriteTimeToNow(file));
  ASSERT_TRUE(CloseFile(file));
  struct stat status;
  ASSERT_EQ(stat(path.c_str(), &status), 0);
  EXPECT_EQ(status.st_atim.tv_sec, 1000000000);
  EXPECT_EQ(status.st_atim.tv_nsec, 5);
  EXPECT_GT(status.st_mtim.tv_sec, 1000000000);
}
#endif

}  // namespace
}  // namespace tablemend
