#include "app/run_update.h"

#include <string_view>

#include "app/rc_file_checks.h"
#include "convert/string_table_converter.h"
#include "platform/console.h"
#include "platform/platform.h"
#include "safeguard/modification_guard.h"
#include "safeguard/run_log.h"
#include "text/text_reader.h"
#include "unicode/unicode.h"

namespace tablemend {

namespace {

// The file the run converts: the backup, or on a first run the rc file that becomes it.
const std::string& InputPath(const RunSettings& settings, const std::string& backupPath) {
  return FileExists(backupPath) ? backupPath : settings.rcPath;
}

// The first run moves the rc file aside; later runs find the backup already there.
int MakeBackup(const RunSettings& settings, const std::string& backupPath) {
  if (FileExists(backupPath) || RenameFile(settings.rcPath, backupPath)) {
    return kSuccess;
  }
  return ReportFailure(settings,
                       "Unable to make backup file\n"
                       "Make sure that you have write permission to the directory the file is "
                       "in.\n");
}

// Reports a conversion that could not be finished: the rc file is incomplete, but the backup,
// which is never written, still holds the original text.
int ReportIncompleteRcFile(const RunSettings& settings, const std::string& backupPath,
                           std::string_view cause) {
  return ReportFailure(settings, std::string(cause) + "The rc file " + settings.rcPath +
                                     " is incomplete; the backup file " + backupPath +
                                     " keeps the original text.\n");
}

// Ends a conversion: writes the footer, closes the log and the backup, stamps the backup and
// reports how the run ended. The footer marks a completed run only: an rc file that could not be
// written whole leaves the log without one.
int FinishRun(const RunSettings& settings, const std::string& backupPath, bool rcWritten,
              bool backupReadFailed, FileHandle& backupFile, RunLog& log) {
  const bool rcComplete = rcWritten && !backupReadFailed;
  if (rcComplete) {
    WriteLogFooter(log);
  }
  const bool logWritten = CloseRunLog(log);
  CloseFile(backupFile);
  // An incomplete rc file is stamped too: it holds this run's own output, not a hand edit, so
  // the next run should regenerate it rather than refuse it.
  const bool stamped = StampBackupTime(settings.rcPath, backupPath);
  if (backupReadFailed) {
    return ReportIncompleteRcFile(settings, backupPath, "Unable to read " + backupPath + "\n");
  }
  if (!rcWritten) {
    return ReportIncompleteRcFile(settings, backupPath,
                                  "Unable to write " + settings.rcPath + "\n");
  }
  if (!logWritten) {
    // The rc file is complete and correct; only its history is not, and that is still a
    // failure a build script should see.
    return ReportFailure(settings, "Unable to write log information to " +
                                       ComposeLogPath(settings.rcPath) + "\n" +
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

// Writes a change to the log and, with -v, to the console, whatever `silent` says. `print`
// shows the lines: as bytes, or as UTF-8 characters.
void ReportChange(const RunSettings& settings, RunLog& log, const ChangeRecord& change,
                  void (*print)(std::string_view)) {
  WriteChangeEntry(log, change);
  if (settings.verbose) {
    print("Changed line number: " + std::to_string(change.lineNumber) + "\n");
    print("\tFrom: [");
    print(change.oldLine);
    print("]\n\tTo: [");
    print(change.newLine);
    print("]\n");
  }
}

// A UTF-16 line is shown as UTF-8, with U+FFFD for an unpaired surrogate.
void ReportChange(const RunSettings& settings, RunLog& log,
                  const BasicChangeRecord<char16_t>& change) {
  const std::string oldLine = EncodeUtf8(change.oldLine, LoneSurrogates::kReplace);
  const std::string newLine = EncodeUtf8(change.newLine, LoneSurrogates::kReplace);
  ReportChange(settings, log, ChangeRecord{change.lineNumber, oldLine, newLine}, PrintUtf8Text);
}

void ReportChange(const RunSettings& settings, RunLog& log, const ChangeRecord& change) {
  ReportChange(settings, log, change, PrintText);
}

int ReportUnwritable(const RunSettings& settings) {
  return ReportFailure(settings, "Unable to open " + settings.rcPath + " for writing\n" +
                                     "Make sure that you have permission to write to the file.\n");
}

// A later run writes over the rc file that the last one made: one that may not be written (a
// read-only file keeps its mode through every run) is refused before the log, the guard or the
// conversion touch anything.
bool MayRewriteRcFile(const RunSettings& settings, const std::string& backupPath) {
  FileHandle rcFile;
  return !FileExists(backupPath) || OpenExistingForWriting(settings.rcPath, rcFile);
}

// Writes the rc file anew from the backup, code unit by code unit of the script's own format.
template <typename Unit>
int ConvertBackup(const RunSettings& settings, const std::string& backupPath,
                  const TextFormat& format, RunLog& log) {
  BasicTextWriter<Unit> output;
  if (!OpenTextWriter(settings.rcPath, format, output)) {
    return ReportUnwritable(settings);
  }
  CopyPermissions(backupPath, output.file);
  BasicTextReader<Unit> input;
  if (!OpenTextReader(backupPath, format, input)) {
    return ReportUnreadable(settings, backupPath);
  }
  ConvertStringTables<Unit>(input, output, [&](const BasicChangeRecord<Unit>& change) {
    ReportChange(settings, log, change);
  });
  const bool rcWritten = CloseTextWriter(output);
  return FinishRun(settings, backupPath, rcWritten, input.readFailed, input.file, log);
}

}  // namespace

int RunUpdate(const RunSettings& settings, LogClock clock) {
  const std::string backupPath = ComposeBackupPath(settings);
  if (CheckRcFile(settings, backupPath, InputPath(settings, backupPath)) != kSuccess) {
    return kFailure;
  }
  if (!MayRewriteRcFile(settings, backupPath)) {
    return ReportUnwritable(settings);
  }
  RunLog log;
  log.clock = clock;
  if (!OpenRunLog(settings.rcPath, log)) {
    return ReportFailure(settings, "Unable to open " + ComposeLogPath(settings.rcPath) +
                                       " for writing log information\n" +
                                       "Make sure that you have permission to write to the "
                                       "file.\n");
  }
  WriteLogHeader(log);
  if (FileExists(backupPath) && !CheckModificationOrder(settings.rcPath, backupPath, log)) {
    return kFailure;
  }
  // The format decides how every byte is read, so it is read from the text this run converts,
  // before the backup is made; text that cannot be read stops the run, where a guess could
  // corrupt UTF-16 text.
  const std::string& inputPath = InputPath(settings, backupPath);
  TextFormat format;
  if (ReadTextFormat(inputPath, format) != FormatRead::kRead) {
    return ReportUnreadable(settings, inputPath);
  }
  if (MakeBackup(settings, backupPath) != kSuccess) {
    return kFailure;
  }
  if (format.encoding == TextEncoding::kBytes) {
    return ConvertBackup<char>(settings, backupPath, format, log);
  }
  return ConvertBackup<char16_t>(settings, backupPath, format, log);
}

}  // namespace tablemend
