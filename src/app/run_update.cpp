#include "app/run_update.h"

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <set>

#include "app/conversion.h"
#include "app/failure_report.h"
#include "app/rc_file_checks.h"
#include "app/temporary_file.h"
#include "platform/background_work.h"
#include "platform/console.h"
#include "platform/platform.h"
#include "safeguard/modification_guard.h"
#include "safeguard/run_log.h"

namespace tablemend {

namespace {

// How many files run together, up to their new texts in place: each holds its log and its
// temporary file open until then, and the system allows a process only so many open files.
constexpr std::size_t kFilesOpenTogether = 64;

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
  OpenedText input;                 // the text converted, open since its format was read
  FileHandle rcFile;                // a later run's rc file, open for the guard
  FileHandle temporaryFile;         // open from its last write until it is on disk
  bool temporaryMade = false;       // so the run may write in the script's folder
  NewText newText = NewText::kNone;
  bool oldTextAtTemporaryPath = false;  // the new text was swapped in: the old one is to go
  std::string failure;                  // what stopped the new text, for the report
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
// conversion touch anything. The file stays open for the guard, which reads its time; one that
// may be written but not read shows there as a time that cannot be read.
bool MayRewriteRcFile(UpdateRun& run) {
  if (run.firstRun || OpenForReadingAndWriting(run.rcPath, run.rcFile)) {
    return true;
  }
  if (!MayWriteFile(run.rcPath)) {
    return false;
  }
  OpenForReading(run.rcPath, run.rcFile);
  return true;
}

// The guard of a later run, over the rc file and the backup it opened already (the backup for
// its format); the rc file is closed after it, as Windows replaces no file held open.
bool GuardAllowsRun(UpdateRun& run) {
  const bool allowed =
      run.firstRun || CheckModificationOrderOf(run.rcFile, run.input.file, run.log);
  CloseFile(run.rcFile);
  return allowed;
}

// Writes the new text from the backup to the temporary file, which stays open for the flush.
int WriteNewText(UpdateRun& run, const TextFormat& format) {
  ConversionFiles files{run.backupPath, run.temporaryPath, format};
  files.openedInput = &run.input;
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
  StartFlushToDisk(run.temporaryFile);
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
  const FormatRead formatRead = ReadTextFormat(InputPath(run), format, run.input);
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
  if (!GuardAllowsRun(run)) {
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
    return;
  }
  // A later run replaces the last one's new text, which no other name keeps: swapped out rather
  // than freed, it goes once its folder is flushed (the first run's old text stays as the
  // backup).
  if (!run.firstRun && ExchangeFiles(run.temporaryPath, run.rcPath)) {
    run.oldTextAtTemporaryPath = true;
  } else if (!RenameOverFile(run.temporaryPath, run.rcPath, DeniedMeans::kFileInUse)) {
    run.failure = "Unable to replace " + run.rcPath + " with " + run.temporaryPath + "\n";
    return;
  }
  run.newText = NewText::kInPlace;
}

// Puts the written new texts in their scripts' places: each on disk first, then renamed over its
// script, so that whoever reads a script finds its old text or its new, whole, and a power cut
// leaves one of them.
void PutNewTextsInPlace(std::deque<UpdateRun>& runs) {
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
  for (UpdateRun& run : runs) {
    if (run.newText == NewText::kOnDisk) {
      PutNewTextInPlace(run);
    }
  }
}

// How a file's run stands once its group is done: what it reported so far, held while several
// files run, and what is still to say at the end of the call. The group's settling writes only
// the last two, beside the next group, whose runs write the first ones of their own files.
struct RunEnd {
  HeldText reports;
  int status = kSuccess;  // a failure already reported, or kSuccess while the end is to come
  bool logWritten = false;
  bool folderFlushed = false;  // after the rename: the new text is the script's on disk too
  std::string oldTextLeft;     // where a later run's old text stays, as it could not go
};

// Ends a run whose new text went as far as it could: writes the footer and closes the log; or,
// where the new text is not in place, leaves the script as it was and reports why.
void FinishUpdate(UpdateRun& run, RunEnd& end) {
  if (run.newText != NewText::kInPlace) {
    end.status = ReportUnchanged(run, run.failure);
    return;
  }
  WriteLogFooter(run.log);
  end.logWritten = CloseRunLog(run.log);
}

// Reports how a run ended, once its folder was flushed or could not be.
int ReportEnd(const std::string& rcPath, const RunEnd& end, const RunSettings& settings) {
  if (end.status != kSuccess) {
    return end.status;
  }
  if (!end.folderFlushed) {
    return ReportFailure(settings, "Unable to flush the folder of " + rcPath + " to disk\n" +
                                       rcPath +
                                       " holds its new text, but a power cut could undo that.\n");
  }
  if (!end.logWritten) {
    // The rc file is complete and correct; only its history is not, and that is still a
    // failure a build script should see.
    return ReportFailure(settings, "Unable to write log information to " + ComposeLogPath(rcPath) +
                                       "\n" +
                                       "The rc file was updated; only its log is incomplete.\n");
  }
  if (!settings.silent) {
    PrintText("Complete.\n");
  }
  return kSuccess;
}

// Runs one step of the run of each file of a group, what it prints held where several files run.
template <typename Step>
void ForEachRun(std::deque<UpdateRun>& runs, RunEnd* ends, bool held, Step step) {
  for (std::size_t index = 0; index < runs.size(); ++index) {
    if (held) {
      HoldConsoleText(ends[index].reports);
    }
    step(runs[index], ends[index]);
    StopHoldingConsoleText();
  }
}

// Files run together, up to kFilesOpenTogether of them, no name twice: rcPaths[first] up to
// rcPaths[end].
struct UpdateGroup {
  std::size_t first = 0;
  std::size_t end = 0;
  std::set<std::string> names;
  std::deque<UpdateRun> runs;
};

// The group that starts at rcPaths[first]. A file named twice runs twice, one run after the
// other, each with its own part of the log.
std::unique_ptr<UpdateGroup> NextGroup(const std::vector<std::string>& rcPaths, std::size_t first) {
  auto group = std::make_unique<UpdateGroup>();
  group->first = first;
  group->end = first;
  while (group->end < rcPaths.size() && group->end - first < kFilesOpenTogether &&
         group->names.insert(rcPaths[group->end]).second) {
    ++group->end;
  }
  return group;
}

bool ShareAName(const UpdateGroup& group, const UpdateGroup& other) {
  return std::any_of(group.names.begin(), group.names.end(),
                     [&other](const std::string& name) { return other.names.count(name) != 0; });
}

// Starts reading what the runs of the files rcPaths[first] up to rcPaths[end] read first: the
// start of the text each converts, and the end of its log, which the log's first write reads
// back. Done beside the group before theirs, so that their runs seldom wait on the disk to read.
void ReadAhead(const std::vector<std::string>& rcPaths, std::size_t first, std::size_t end,
               const RunSettings& settings) {
  for (std::size_t index = first; index < end; ++index) {
    const std::string& rcPath = rcPaths[index];
    if (!StartReadingAhead(ComposeBackupPath(rcPath, settings), FilePart::kStart)) {
      StartReadingAhead(rcPath, FilePart::kStart);  // a first run converts the script itself
    }
    StartReadingAhead(ComposeLogPath(rcPath), FilePart::kEnd);
  }
}

// Starts each run of a group, up to its new text written.
void StartGroup(const std::vector<std::string>& rcPaths, UpdateGroup& group,
                const RunSettings& settings, bool held, std::vector<RunEnd>& ends) {
  for (std::size_t index = group.first; index < group.end; ++index) {
    group.runs.emplace_back(rcPaths[index], settings);
  }
  ForEachRun(group.runs, &ends[group.first], held, [](UpdateRun& run, RunEnd& runEnd) {
    PrintBeforeNextText("");
    runEnd.status = StartUpdate(run);
  });
}

// A later run's old text, swapped out under its run's temporary name, to be freed.
struct OldText {
  std::size_t index;  // of the run's file in the call
  std::string path;
};

// Puts a group's new texts in place and makes their renames durable, each folder flushed once.
// Returns the old texts the renames swapped out. Prints nothing: it runs beside the next group.
std::vector<OldText> SettleGroup(UpdateGroup& group, std::vector<RunEnd>& ends) {
  PutNewTextsInPlace(group.runs);
  std::map<std::string, bool> flushedFolders;
  std::vector<OldText> oldTexts;
  for (std::size_t index = 0; index < group.runs.size(); ++index) {
    const UpdateRun& run = group.runs[index];
    if (run.newText != NewText::kInPlace) {
      continue;
    }
    const auto [folder, added] = flushedFolders.emplace(FolderOf(run.rcPath), false);
    if (added) {
      folder->second = FlushFolder(folder->first);
    }
    ends[group.first + index].folderFlushed = folder->second;
    if (run.oldTextAtTemporaryPath) {
      oldTexts.push_back({group.first + index, run.temporaryPath});
    }
  }
  return oldTexts;
}

// Frees old texts once their folders are flushed: freed before, an old text's blocks could be
// reused while the folder on disk still gave it the script's name. One whose folder could not be
// flushed stays, and goes with the script's next run.
void FreeOldTexts(const std::vector<OldText>& oldTexts, std::vector<RunEnd>& ends) {
  for (const OldText& oldText : oldTexts) {
    if (!ends[oldText.index].folderFlushed || !RemoveFile(oldText.path, DeniedMeans::kFileInUse)) {
      ends[oldText.index].oldTextLeft = oldText.path;
    }
  }
}

// Ends each run of a settled group: its log's footer, or the script left as it was.
void EndGroup(UpdateGroup& group, bool held, std::vector<RunEnd>& ends) {
  ForEachRun(group.runs, &ends[group.first], held, [](UpdateRun& run, RunEnd& runEnd) {
    if (runEnd.status == kSuccess) {
      FinishUpdate(run, runEnd);
    }
  });
}

// Says where an old text that could not go stays; the script is converted all the same.
void ReportOldTextLeft(const std::string& rcPath, const RunEnd& end, const RunSettings& settings) {
  if (end.oldTextLeft.empty() || settings.silent) {
    return;
  }
  PrintUtf8Text("Unable to remove " + end.oldTextLeft + ", which holds the text " + rcPath +
                " had before this run; the next run on " + rcPath + " removes it.\n");
}

// Four lines of work, so that the waits on the disk overlap each other and the converting: the
// calling thread starts each group; the second settles the group before it (its files' flushes
// and renames, its folders' flushes); the third frees the old texts of the groups settled (where
// the file system tells the device of each freed block, that waits as long as a write); the
// fourth reads ahead for the group after. A group ends (its logs' footers, its failures taken
// back) on the calling thread, once it has settled.
struct UpdateLines {
  std::unique_ptr<UpdateGroup> settlingGroup;  // first, so that it outlives the lines' threads
  BackgroundWork readingAhead;
  BackgroundWork freeing;
  BackgroundWork settling;  // last: it hands work over to `freeing`
};

// Reads ahead for the group after `group`. Only where there is one: a call over one group, as
// most are, then does its work in one order every time.
void ReadAheadAfter(UpdateLines& lines, const UpdateGroup& group,
                    const std::vector<std::string>& rcPaths, const RunSettings& settings) {
  const std::size_t end = std::min(rcPaths.size(), group.end + kFilesOpenTogether);
  if (group.end < end) {
    HandOverWork(lines.readingAhead, [&rcPaths, &settings, first = group.end, end] {
      ReadAhead(rcPaths, first, end, settings);
    });
  }
}

// Waits for the group handed over to settle, and ends it.
void EndSettlingGroup(UpdateLines& lines, bool held, std::vector<RunEnd>& ends) {
  FinishWork(lines.settling);
  if (lines.settlingGroup) {
    EndGroup(*lines.settlingGroup, held, ends);
    lines.settlingGroup.reset();
  }
}

// Hands a started group over to settle; once it has, its old texts go on to be freed.
void HandOverToSettle(UpdateLines& lines, std::unique_ptr<UpdateGroup> group,
                      std::vector<RunEnd>& ends) {
  lines.settlingGroup = std::move(group);
  HandOverWork(lines.settling,
               [&ends, &freeing = lines.freeing, started = lines.settlingGroup.get()] {
                 HandOverWork(freeing, [&ends, oldTexts = SettleGroup(*started, ends)] {
                   FreeOldTexts(oldTexts, ends);
                 });
               });
}

std::vector<int> ReportEnds(const std::vector<std::string>& rcPaths,
                            const std::vector<std::string>& headings,
                            const std::vector<RunEnd>& ends, const RunSettings& settings) {
  std::vector<int> statuses;
  for (std::size_t index = 0; index < rcPaths.size(); ++index) {
    // Only what is printed gets its heading: with -s, most files print nothing at all.
    PrintBeforeNextText(headings[index]);
    PrintHeldText(ends[index].reports);
    statuses.push_back(ReportEnd(rcPaths[index], ends[index], settings));
    ReportOldTextLeft(rcPaths[index], ends[index], settings);
  }
  return statuses;
}

}  // namespace

std::vector<int> RunUpdates(const std::vector<std::string>& rcPaths,
                            const std::vector<std::string>& headings, const RunSettings& settings) {
  // With one file, its reports go out as they come: there is no other file's to wait for.
  const bool held = rcPaths.size() > 1;
  std::vector<RunEnd> ends(rcPaths.size());
  UpdateLines lines;
  for (std::size_t first = 0; first < rcPaths.size();) {
    std::unique_ptr<UpdateGroup> group = NextGroup(rcPaths, first);
    first = group->end;
    // A file named again starts once its earlier run has ended.
    if (lines.settlingGroup && ShareAName(*group, *lines.settlingGroup)) {
      EndSettlingGroup(lines, held, ends);
    }
    ReadAheadAfter(lines, *group, rcPaths, settings);
    StartGroup(rcPaths, *group, settings, held, ends);
    EndSettlingGroup(lines, held, ends);
    HandOverToSettle(lines, std::move(group), ends);
  }
  // The last group's old texts are freed before its logs end: a call over one group, as most are,
  // then does its work in one order every time.
  FinishWork(lines.settling);
  FinishWork(lines.freeing);
  EndSettlingGroup(lines, held, ends);
  return ReportEnds(rcPaths, headings, ends, settings);
}

}  // namespace tablemend
