#include "app/run_update.h"

#include <string_view>

#include "app/conversion.h"
#include "app/failure_report.h"
#include "app/rc_file_checks.h"
#include "platform/console.h"
#include "platform/platform.h"
#include "safeguard/modification_guard.h"
#include "safeguard/run_log.h"

namespace tablemend {

namespace {

// What a run holds while it converts: the names of its files, whether this is the first run, and
// the log it writes.
struct UpdateRun {
  const std::string& rcPath;
  const RunSettings& settings;
  const std::string backupPath;
  const bool firstRun;  // no backup yet: the rc file becomes it
  RunLog log;

  UpdateRun(const std::string& name, const RunSettings& runSettings)
      : rcPath(name),
        settings(runSettings),
        backupPath(ComposeBackupPath(name, runSettings)),
        firstRun(!FileExists(backupPath)) {}
};

// The file the run converts: the backup, or on a first run the rc file that becomes it.
const std::string& InputPath(const UpdateRun& run) {
  return run.firstRun ? run.rcPath : run.backupPath;
}

// The first run moves the rc file aside; later runs find the backup already there.
int MakeBackup(const UpdateRun& run) {
  if (!run.firstRun || RenameFile(run.rcPath, run.backupPath)) {
    return kSuccess;
  }
  return ReportFailure(run.settings,
                       "Unable to make backup file\n"
                       "Make sure that you have write permission to the directory the file is "
                       "in.\n");
}

// Reports a conversion that could not be finished: the rc file is incomplete, but the backup,
// which is never written, still holds the original text.
int ReportIncompleteRcFile(const UpdateRun& run, std::string_view cause) {
  return ReportFailure(run.settings, std::string(cause) + "The rc file " + run.rcPath +
                                         " is incomplete; the backup file " + run.backupPath +
                                         " keeps the original text.\n");
}

// Ends a conversion: writes the footer, closes the log, stamps the backup and reports how the
// run ended. The footer marks a completed run only: an rc file that could not be written whole
// leaves the log without one.
int FinishRun(UpdateRun& run, ConversionEnd end) {
  const RunSettings& settings = run.settings;
  if (end == ConversionEnd::kComplete) {
    WriteLogFooter(run.log);
  }
  const bool logWritten = CloseRunLog(run.log);
  // An incomplete rc file is stamped too: it holds this run's own output, not a hand edit, so
  // the next run should regenerate it rather than refuse it.
  const bool stamped = StampBackupTime(run.rcPath, run.backupPath);
  if (end == ConversionEnd::kInputNotRead) {
    return ReportIncompleteRcFile(run, "Unable to read " + run.backupPath + "\n");
  }
  if (end == ConversionEnd::kOutputNotWritten) {
    return ReportIncompleteRcFile(run, "Unable to write " + run.rcPath + "\n");
  }
  if (!logWritten) {
    // The rc file is complete and correct; only its history is not, and that is still a
    // failure a build script should see.
    return ReportFailure(settings, "Unable to write log information to " +
                                       ComposeLogPath(run.rcPath) + "\n" +
                                       "The rc file was updated; only its log is incomplete.\n");
  }
  if (!stamped) {
    return kFailure;
  }
  if (!settings.silent) {
    PrintText("Complete.\n");
  }
  return kSuccess;
}

// Writes a change to the log and, with -v, to the console, whatever `silent` says.
void ReportChange(UpdateRun& run, const ChangeRecord& change, LinePrinter print) {
  WriteChangeEntry(run.log, change);
  if (run.settings.verbose) {
    print("Changed line number: " + std::to_string(change.lineNumber) + "\n");
    print("\tFrom: [");
    print(change.oldLine);
    print("]\n\tTo: [");
    print(change.newLine);
    print("]\n");
  }
}

int ReportUnwritable(const UpdateRun& run) {
  return ReportFailure(run.settings,
                       "Unable to open " + run.rcPath + " for writing\n" +
                           "Make sure that you have permission to write to the file.\n");
}

// A later run writes over the rc file that the last one made: one that may not be written (a
// read-only file keeps its mode through every run) is refused before the log, the guard or the
// conversion touch anything.
bool MayRewriteRcFile(const UpdateRun& run) {
  FileHandle rcFile;
  return run.firstRun || OpenExistingForWriting(run.rcPath, rcFile);
}

// Writes the rc file anew from the backup.
int ConvertBackup(UpdateRun& run, const TextFormat& format) {
  const ConversionEnd end = ConvertFile(
      {run.backupPath, run.rcPath, format},
      [&run](const ChangeRecord& change, LinePrinter print) { ReportChange(run, change, print); });
  switch (end) {
    case ConversionEnd::kOutputNotOpened:
      return ReportUnwritable(run);
    case ConversionEnd::kInputNotOpened:
      return ReportUnreadable(run.settings, run.backupPath);
    default:
      return FinishRun(run, end);
  }
}

}  // namespace

int RunUpdate(const std::string& rcPath, const RunSettings& settings) {
  if (CheckRcFile(rcPath, settings, FileAction::kUpdate) != kSuccess) {
    return kFailure;
  }
  UpdateRun run(rcPath, settings);
  // The format decides how every byte is read, so it is read from the text this run converts;
  // text that cannot be read stops the run, where a guess could corrupt UTF-16 text.
  TextFormat format;
  const FormatRead formatRead = ReadTextFormat(InputPath(run), format);
  if (formatRead == FormatRead::kCutShort) {
    return ReportCutShort(settings, InputPath(run));
  }
  if (!MayRewriteRcFile(run)) {
    return ReportUnwritable(run);
  }
  if (!OpenRunLog(run.rcPath, run.log)) {
    return ReportLogNotOpened(rcPath, settings);
  }
  WriteLogHeader(run.log);
  if (!run.firstRun && !CheckModificationOrder(run.rcPath, run.backupPath, run.log)) {
    return kFailure;
  }
  // Text that cannot be read is reported only now: an rc file this user may not read is first
  // the guard's, which reports its time as one it cannot read.
  if (formatRead != FormatRead::kRead) {
    return ReportUnreadable(settings, InputPath(run));
  }
  if (MakeBackup(run) != kSuccess) {
    return kFailure;
  }
  return ConvertBackup(run, format);
}

}  // namespace tablemend
