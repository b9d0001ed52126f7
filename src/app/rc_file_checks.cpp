#include "app/rc_file_checks.h"

#include "app/failure_report.h"
#include "app/temporary_file.h"
#include "platform/console.h"
#include "platform/platform.h"
#include "safeguard/run_log.h"

namespace tablemend {

namespace {

// The script `name` belongs to when it ends in `ending` (as the file system compares names) and
// the name without that ending is a file beside it; empty when there is none.
std::string ScriptBefore(const std::string& name, std::string_view ending) {
  if (name.size() <= ending.size() ||
      CompareFileNames(std::string_view(name).substr(name.size() - ending.size()), ending) != 0) {
    return std::string();
  }
  std::string script = name.substr(0, name.size() - ending.size());
  return QueryPathKind(script) == PathKind::kRegularFile ? script : std::string();
}

// A backup holds the only copy of its script's original text, a log its history, and a temporary
// file a run's new text: converting any as a script (a wildcard takes them along) would rewrite
// what must never change, or could take a killed run's half-written text for a script.
int RefuseProgramsFile(const std::string& name, const RunSettings& settings, FileAction action) {
  std::string role = "a temporary file";
  std::string script = FindScriptOfTemporaryFile(name);
  if (script.empty()) {
    role = "the backup";
    script = ScriptBefore(name, "." + settings.backupExtension);
  }
  if (script.empty()) {
    role = "the log";
    script = ScriptBefore(name, ".log");
  }
  if (script.empty()) {
    return kSuccess;
  }
  if (!settings.silent) {
    const char* const undone = action == FileAction::kRestore ? "restored" : "converted";
    PrintUtf8Text(name + " is " + role + " of " + script + ": not " + undone + "\n");
  }
  return kFailure;
}

// A script's name is missing while its backup is there after a first run was killed, on a file
// system without hard links, between giving the script the backup's name and giving the new text
// the script's: a restore puts the text back, and any other action says so.
int RefuseMissing(const std::string& rcPath, const RunSettings& settings, FileAction action) {
  const std::string backupPath = ComposeBackupPath(rcPath, settings);
  if (QueryPathKind(backupPath) != PathKind::kRegularFile) {
    return ReportFailure(settings, "File given [" + rcPath + "] does not exist.\n");
  }
  if (action == FileAction::kRestore) {
    return kSuccess;
  }
  return ReportFailure(settings, "File given [" + rcPath + "] does not exist.\n" +
                                     "Its text is in its backup [" + backupPath +
                                     "]: --restore puts it back.\n");
}

}  // namespace

int CheckRcFile(const std::string& rcPath, const RunSettings& settings, FileAction action) {
  if (rcPath.empty()) {
    return ReportNoFileNamed(settings);
  }
  switch (QueryPathKind(rcPath)) {
    case PathKind::kMissing:
      if (RefuseMissing(rcPath, settings, action) != kSuccess) {
        return kFailure;
      }
      break;
    case PathKind::kDirectory:
    case PathKind::kOther:
      return ReportFailure(settings, "File given [" + rcPath + "] is not a regular file.\n");
    case PathKind::kRegularFile:
      break;
  }
  // A separator would put the backup in another folder, or fail as a missing one would.
  if (settings.backupExtension.find_first_of(PathSeparators()) != std::string::npos) {
    return ReportFailure(settings, "Extension [" + settings.backupExtension +
                                       "] holds a path separator.\n" +
                                       "Please use the -e or --extension option to choose an "
                                       "extension without one\n");
  }
  if (RefuseProgramsFile(rcPath, settings, action) != kSuccess) {
    return kFailure;
  }
  const std::string backupPath = ComposeBackupPath(rcPath, settings);
  if (PathsDenoteSameFile(backupPath, rcPath) ||
      PathsDenoteSameFile(backupPath, ComposeLogPath(rcPath))) {
    return ReportFailure(
        settings, "Backup file [" + backupPath + "] would be the rc file or its log.\n" +
                      "Please use the -e or --extension option to choose another extension\n");
  }
  return kSuccess;
}

int ReportCutShort(const RunSettings& settings, const std::string& path) {
  return ReportFailure(settings, "File [" + path +
                                     "] is UTF-16 text whose last character is cut short.\n" +
                                     "Save it whole and run again.\n");
}

int ReportNotText(const RunSettings& settings, const std::string& path) {
  if (!settings.silent) {
    PrintUtf8Text(path + " is not a text file: not converted\n");
  }
  return kFailure;
}

int ReadConvertibleFormat(const std::string& rcPath, const RunSettings& settings,
                          TextFormat& format) {
  switch (ReadTextFormat(rcPath, format)) {
    case FormatRead::kRead:
      return kSuccess;
    case FormatRead::kCutShort:
      return ReportCutShort(settings, rcPath);
    case FormatRead::kNotText:
      return ReportNotText(settings, rcPath);
    case FormatRead::kUnreadable:
      break;
  }
  return ReportUnreadable(settings, rcPath);
}

}  // namespace tablemend
