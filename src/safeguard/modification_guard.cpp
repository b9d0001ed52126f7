#include "safeguard/modification_guard.h"

#include <string_view>

#include "platform/console.h"
#include "platform/platform.h"

namespace tablemend {

namespace {

constexpr std::string_view kRefusalBanner =
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

void RefuseRun(RunLog& log) {
  PrintText(kRefusalBanner);
  WriteLogText(log, kRefusalBanner);
  WriteLogFooter(log);
}

}  // namespace

bool CheckModificationOrder(const std::string& rcPath, const std::string& backupPath, RunLog& log) {
  FileHandle rcFile;
  FileHandle backupFile;
  // An open that fails shows as a time that cannot be read.
  OpenForReading(rcPath, rcFile);
  OpenForReading(backupPath, backupFile);
  return CheckModificationOrderOf(rcFile, backupFile, log);
}

bool CheckModificationOrderOf(const FileHandle& rcFile, const FileHandle& backupFile, RunLog& log) {
  FileTime rcTime;
  if (!GetLastWriteTime(rcFile, rcTime)) {
    PrintText("****ERROR: Unable to retrieve last time rc file was writen to.\n");
    return false;
  }
  FileTime backupTime;
  if (!GetLastWriteTime(backupFile, backupTime)) {
    PrintText("ERROR: Unable to retrieve last time backup file was writen to.\n");
    return false;
  }
  if (IsLaterThan(rcTime, backupTime)) {
    RefuseRun(log);
    return false;
  }
  return true;
}

bool StampBackupTime(const std::string& backupPath) {
  return SetLastWriteTimeToNow(backupPath);
}

}  // namespace tablemend
