#include "app/run_restore.h"

#include "app/failure_report.h"
#include "app/rc_file_checks.h"
#include "platform/console.h"
#include "platform/platform.h"
#include "safeguard/modification_guard.h"
#include "safeguard/run_log.h"

namespace tablemend {

namespace {

// The guard, before anything is touched: a refusal goes to the console alone, and the log keeps
// no trace of a restore that did not happen.
bool GuardAllowsRestore(const std::string& rcPath, const std::string& backupPath) {
  RunLog noLog;
  AttachTextDiscarder(TextFormat(), noLog.writer);
  return CheckModificationOrder(rcPath, backupPath, noLog);
}

}  // namespace

int RunRestore(const std::string& rcPath, const RunSettings& settings) {
  if (CheckRcFile(rcPath, settings, FileAction::kRestore) != kSuccess) {
    return kFailure;
  }
  const std::string backupPath = ComposeBackupPath(rcPath, settings);
  if (QueryPathKind(backupPath) != PathKind::kRegularFile) {
    return ReportFailure(settings,
                         "No backup file [" + backupPath + "] to restore " + rcPath + " from.\n");
  }
  // With the rc file's name missing there is no edit to keep.
  if (FileExists(rcPath) && !GuardAllowsRestore(rcPath, backupPath)) {
    return kFailure;
  }
  RunLog log;
  if (!OpenRunLog(rcPath, log)) {
    return ReportLogNotOpened(rcPath, settings);
  }
  WriteLogHeader(log);
  // Where the two names are one file's (a first run killed before its new text took the name),
  // a rename keeps both: the backup's name then goes on its own.
  if (!RenameOverFile(backupPath, rcPath, DeniedMeans::kNoPermission) ||
      (FileExists(backupPath) && !RemoveFile(backupPath, DeniedMeans::kNoPermission))) {
    return ReportFailure(settings, "Unable to restore " + rcPath + " from " + backupPath + "\n" +
                                       "Make sure that you have write permission to the directory "
                                       "the file is in.\n");
  }
  WriteRestoreFooter(log, backupPath);
  if (!CloseRunLog(log)) {
    return ReportFailure(settings, "Unable to write log information to " + ComposeLogPath(rcPath) +
                                       "\n" + rcPath +
                                       " was restored; only its log is incomplete.\n");
  }
  if (!settings.silent) {
    PrintText("Restored.\n");
  }
  return kSuccess;
}

}  // namespace tablemend
