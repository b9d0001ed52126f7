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
bool GuardAllowsRestore(const RunSettings& settings, const std::string& backupPath) {
  RunLog noLog;
  AttachTextDiscarder(TextFormat(), noLog.writer);
  return CheckModificationOrder(settings.rcPath, backupPath, noLog);
}

}  // namespace

int RunRestore(const RunSettings& settings) {
  if (CheckRcFile(settings, FileAction::kRestore) != kSuccess) {
    return kFailure;
  }
  const std::string backupPath = ComposeBackupPath(settings);
  if (QueryPathKind(backupPath) != PathKind::kRegularFile) {
    return ReportFailure(
        settings, "No backup file [" + backupPath + "] to restore " + settings.rcPath + " from.\n");
  }
  if (!GuardAllowsRestore(settings, backupPath)) {
    return kFailure;
  }
  RunLog log;
  if (!OpenRunLog(settings.rcPath, log)) {
    return ReportLogNotOpened(settings);
  }
  WriteLogHeader(log);
  if (!RenameOverFile(backupPath, settings.rcPath)) {
    return ReportFailure(settings, "Unable to restore " + settings.rcPath + " from " + backupPath +
                                       "\n" +
                                       "Make sure that you have write permission to the directory "
                                       "the file is in.\n");
  }
  WriteRestoreFooter(log, backupPath);
  if (!CloseRunLog(log)) {
    return ReportFailure(settings, "Unable to write log information to " +
                                       ComposeLogPath(settings.rcPath) + "\n" + settings.rcPath +
                                       " was restored; only its log is incomplete.\n");
  }
  if (!settings.silent) {
    PrintText("Restored.\n");
  }
  return kSuccess;
}

}  // namespace tablemend
