#include "app/run_update.h"

#include <algorithm>
#include <deque>
#include <set>

#include "app/conversion.h"
#include "app/failure_report.h"
#include "app/rc_file_checks.h"
#include "app/temporary_file.h"
#include "platform/console.h"
#include "platform/platform.h"
#include "safeguard/modification_guard.h"
#include "safeguard/run_log.h"

namespace tablemend {

namespace {

// How many files have their new texts flushed to disk together: each flush commits the file
// system's journal, and one commit takes in whatever was written before it. Each file of a group
// holds its log and its temporary file open until its run ends.
constexpr std::size_t kFilesFlushedTogether = 64;

// How the script got its backup name in this run, so that a failure can take it back.
enum class BackupMade { kEarlier, kLinked, kRenamed };

// How far the new text got.
enum class NewText { kNone, kWritten, kOnDisk, kInPlace };

// What a run holds from its start to its end: the names of its files, whether this is the first
// run, the log it writes, and its new text.
struct UpdateRun {
  const std::string& rcPath;
  const RunSettings& settings;
  const std::string backupPath;
  const bool firstRun;  // no backup yet: the rc file becomes it
  BackupMade backupMade = BackupMade::kEarlier;
  const std::string temporaryPath;  // the new text, until it replaces the rc file
  FileHandle temporaryFile;         // open from its last write until it is on disk
  bool temporaryMade = false;       // so the run may write in the script's folder
  NewText newText = NewText::kNone;
  std::string failure;  // what stopped the new text, for the report
  RunLog log;

  UpdateRun(const std::string& name, const RunSettings& runSettings)
      : rcPath(name),
        settings(runSettings),
        backupPath(ComposeBackupPath(name, runSettings)),
        firstRun(!FileExists(backupPath)),
        temporaryPath(ComposeTemporaryPath(name)) {}
};

// The file the run converts: the backup, or on a first run the rc file that becomes it.
const std::string& InputPath(const UpdateRun& run) {
  return run.firstRun ? run.rcPath : run.backupPath;
}

std::string FolderOf(const std::string& path) {
  return path.substr(0, FindLastComponent(path));
}

// The first run gives the script its backup name: a second name, so that its own never goes
// missing; where the file system has no hard links, by a rename, which leaves the name empty
// until the new text takes it. Both refuse a backup that exists.
int MakeBackup(UpdateRun& run) {
  if (!run.firstRun) {
    return kSuccess;
  }
  if (LinkFile(run.rcPath, run.backupPath, DeniedMeans::kNoPermission)) {
    run.backupMade = BackupMade::kLinked;
    return kSuccess;
  }
  if (RenameFile(run.rcPath, run.backupPath, DeniedMeans::kNoPermission)) {
    run.backupMade = BackupMade::kRenamed;
    return kSuccess;
  }
  return ReportFailure(run.settings,
                       "Unable to make backup file\n"
                       "Make sure that you have write permission to the directory the file is "
                       "in.\n");
}

// After a failure, the script is left as it was before the run: its new text goes, and a backup
// name this run made goes back, so that the next run is a first run again. Returns how the script
// was left, for the report: as it was, or, where another program held it throughout, with the
// backup name still on it, which the next run takes as the backup.
std::string TakeBackRun(UpdateRun& run) {
  // Once the temporary file is made, the folder may be written: a refusal is a file in use.
  const DeniedMeans denied =
      run.temporaryMade ? DeniedMeans::kFileInUse : DeniedMeans::kNoPermission;
  CloseFile(run.temporaryFile);
  if (run.temporaryMade) {
    RemoveFile(run.temporaryPath, DeniedMeans::kFileInUse);
  }
  const std::string unchanged = run.rcPath + " is unchanged.\n";
  switch (run.backupMade) {
    case BackupMade::kEarlier:
      break;
    case BackupMade::kLinked:
      if (!RemoveFile(run.backupPath, denied)) {
        return unchanged + "Unable to remove " + run.backupPath +
               ", the second name this run gave it: the next run takes it as the backup.\n";
      }
      break;
    case BackupMade::kRenamed:
      if (!RenameFile(run.backupPath, run.rcPath, denied)) {
        return "Unable to rename " + run.backupPath + " back to " + run.rcPath +
               ": its text is unchanged under that name, and --restore puts it back.\n";
      }
      break;
  }
  return unchanged;
}

int ReportUnchanged(UpdateRun& run, const std::string& cause) {
  return ReportFailure(run.settings, cause + TakeBackRun(run));
}

// Writes a change to the log and, with -v, to the console, whatever `silent` says.
void ReportChange(UpdateRun& run, const ChangeRecord& change, LinePrinter print) {
  WriteChangeEntry(run.log, change);
  if (run.settings.verbose) {
    PrintVerboseChange(change, print);
  }
}

int ReportUnwritable(const UpdateRun& run) {
  return ReportFailure(run.settings,
                       "Unable to open " + run.rcPath + " for writing\n" +
                           "Make sure that you have permission to write to the file.\n");
}

// A later run replaces the rc file that the last one made: one that may not be written (a
// read-only file keeps its mode through every run) is refused before the log, the guard or the
// conversion touch anything.
bool MayRewriteRcFile(const UpdateRun& run) {
  return run.firstRun || MayWriteFile(run.rcPath);
}

// Writes the new text from the backup to the temporary file, which stays open for the flush.
int WriteNewText(UpdateRun& run, const TextFormat& format) {
  ConversionFiles files{run.backupPath, run.temporaryPath, format};
  files.keptOutput = &run.temporaryFile;
  files.lineEnds = run.settings.lineEnds;
  const ConversionResult result = ConvertFile(
      files,
      [&run](const ChangeRecord& change, LinePrinter print) { ReportChange(run, change, print); });
  run.temporaryMade = result.end != ConversionEnd::kOutputNotOpened;
  switch (result.end) {
    case ConversionEnd::kOutputNotOpened:
      return ReportUnchanged(run, "Unable to create " + run.temporaryPath + " for the new text\n" +
                                      "Make sure that you have write permission to the "
                                      "directory the file is in.\n");
    case ConversionEnd::kInputNotOpened:
      TakeBackRun(run);
      return ReportUnreadable(run.settings, run.backupPath);
    case ConversionEnd::kTextAfterEndMark: {
      // Found as the conversion reached it: the changes before it are in the log already.
      const std::string cause = DescribeTextAfterEndMark(InputPath(run), result.endMarkLine);
      WriteLogFailure(run.log, cause);
      return ReportUnchanged(run, cause);
    }
    case ConversionEnd::kInputNotRead:
      return ReportUnchanged(run, "Unable to read " + run.backupPath + "\n");
    case ConversionEnd::kOutputNotWritten:
      return ReportUnchanged(run, "Unable to write the new text to " + run.temporaryPath + "\n");
    case ConversionEnd::kComplete:
      break;
  }
  run.newText = NewText::kWritten;
  return kSuccess;
}

// The run up to its new text, written but not yet on disk: kSuccess, or the status of a run that
// ended before, with its report.
int StartUpdate(UpdateRun& run) {
  const RunSettings& settings = run.settings;
  if (CheckRcFile(run.rcPath, settings, FileAction::kUpdate) != kSuccess) {
    return kFailure;
  }
  // The format decides how every byte is read, so it is read from the text this run converts;
  // text that cannot be read stops the run, where a guess could corrupt UTF-16 text.
  TextFormat format;
  const FormatRead formatRead = ReadTextFormat(InputPath(run), format);
  if (formatRead == FormatRead::kCutShort) {
    return ReportCutShort(settings, InputPath(run));
  }
  if (formatRead == FormatRead::kNotText) {
    return ReportNotText(settings, InputPath(run));
  }
  if (!MayRewriteRcFile(run)) {
    return ReportUnwritable(run);
  }
  if (!OpenRunLog(run.rcPath, run.log)) {
    return ReportLogNotOpened(run.rcPath, settings);
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
  return WriteNewText(run, format);
}

// Puts a new text, on disk, in its script's place, the backup stamped first: the new text's last
// write came before the stamp, so at no instant is the script newer than its backup, and a run
// stopped anywhere leaves what the next run takes up without refusing it as edited by hand. A
// backup whose time cannot be set leaves the script as it was, for the same reason.
void PutNewTextInPlace(UpdateRun& run) {
  if (!StampBackupTime(run.backupPath)) {
    run.failure = "Unable to set the last-write time of the backup file " + run.backupPath +
                  "\nMake sure that this user owns it or may write it.\n";
  } else if (!RenameOverFile(run.temporaryPath, run.rcPath, DeniedMeans::kFileInUse)) {
    run.failure = "Unable to replace " + run.rcPath + " with " + run.temporaryPath + "\n";
  } else {
    run.newText = NewText::kInPlace;
  }
}

// Puts the written new texts in their scripts' places: each on disk first, then renamed over its
// script, so that whoever reads a script finds its old text or its new, whole, and a power cut
// leaves one of them. The folders are flushed last, so that the renames outlive a power cut too.
// Returns the folders that could not be flushed.
std::set<std::string> PutNewTextsInPlace(std::deque<UpdateRun>& runs) {
  for (UpdateRun& run : runs) {
    if (run.newText != NewText::kWritten) {
      continue;
    }
    // Closed before the stamp: some file systems set a file's last-write time as it closes.
    if (FlushToDisk(run.temporaryFile) && CloseFile(run.temporaryFile)) {
      run.newText = NewText::kOnDisk;
    } else {
      run.failure = "Unable to write the new text to disk in " + run.temporaryPath + "\n";
    }
  }
  std::set<std::string> folders;
  for (UpdateRun& run : runs) {
    if (run.newText == NewText::kOnDisk) {
      PutNewTextInPlace(run);
    }
    if (run.newText == NewText::kInPlace) {
      folders.insert(FolderOf(run.rcPath));
    }
  }
  std::set<std::string> unflushed;
  for (const std::string& folder : folders) {
    if (!FlushFolder(folder)) {
      unflushed.insert(folder);
    }
  }
  return unflushed;
}

// Ends a run whose new text went as far as it could: writes the footer, closes the log and
// reports how the run ended; or, where the new text is not in place, leaves the script as it was.
int EndUpdate(UpdateRun& run, bool folderFlushed) {
  const RunSettings& settings = run.settings;
  if (run.newText != NewText::kInPlace) {
    return ReportUnchanged(run, run.failure);
  }
  WriteLogFooter(run.log);
  const bool logWritten = CloseRunLog(run.log);
  if (!folderFlushed) {
    return ReportFailure(settings, "Unable to flush the folder of " + run.rcPath + " to disk\n" +
                                       run.rcPath +
                                       " holds its new text, but a power cut could undo that.\n");
  }
  if (!logWritten) {
    // The rc file is complete and correct; only its history is not, and that is still a
    // failure a build script should see.
    return ReportFailure(settings, "Unable to write log information to " +
                                       ComposeLogPath(run.rcPath) + "\n" +
                                       "The rc file was updated; only its log is incomplete.\n");
  }
  if (!settings.silent) {
    PrintText("Complete.\n");
  }
  return kSuccess;
}

// Updates a group of files, the reports of each after its heading, in their order.
void RunUpdateGroup(const std::vector<std::string>& rcPaths,
                    const std::vector<std::string>& headings, std::size_t first, std::size_t end,
                    const RunSettings& settings, std::vector<int>& statuses) {
  std::deque<UpdateRun> runs;
  std::vector<HeldText> reports(end - first);
  std::vector<int> started;
  for (std::size_t index = first; index < end; ++index) {
    PrintBeforeNextText("");
    runs.emplace_back(rcPaths[index], settings);
    HoldConsoleText(reports[index - first]);
    started.push_back(StartUpdate(runs.back()));
    StopHoldingConsoleText();
  }
  const std::set<std::string> unflushed = PutNewTextsInPlace(runs);
  for (std::size_t index = first; index < end; ++index) {
    UpdateRun& run = runs[index - first];
    // Only what is printed gets its heading: with -s, most files print nothing at all.
    PrintBeforeNextText(headings[index]);
    PrintHeldText(reports[index - first]);
    const int start = started[index - first];
    statuses.push_back(
        start == kSuccess ? EndUpdate(run, unflushed.count(FolderOf(run.rcPath)) == 0) : start);
  }
}

}  // namespace

std::vector<int> RunUpdates(const std::vector<std::string>& rcPaths,
                            const std::vector<std::string>& headings, const RunSettings& settings) {
  std::vector<int> statuses;
  for (std::size_t first = 0; first < rcPaths.size();) {
    // A file named twice runs twice, one run after the other, each with its own part of the log.
    std::set<std::string> named;
    std::size_t end = first;
    while (end < rcPaths.size() && end - first < kFilesFlushedTogether &&
           named.insert(rcPaths[end]).second) {
      ++end;
    }
    RunUpdateGroup(rcPaths, headings, first, end, settings, statuses);
    first = end;
  }
  return statuses;
}

}  // namespace tablemend
