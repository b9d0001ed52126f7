#include "app/rc_file_checks.h"

#include "platform/console.h"
#include "platform/platform.h"
#include "safeguard/run_log.h"

namespace tablemend {

std::string ComposeBackupPath(const RunSettings& settings) {
  return settings.rcPath + "." + settings.backupExtension;
}

int ReportFailure(const RunSettings& settings, std::string_view report) {
  if (!settings.silent) {
    PrintUtf8Text(report);
    PrintText("Exiting.\n");
  }
  return kFailure;
}

int ReportUnreadable(const RunSettings& settings, const std::string& path) {
  return ReportFailure(settings, "Unable to open " + path + " for reading\n" +
                                     "Make sure that you have permission to read the file.\n");
}

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

// A backup holds the only copy of its script's original text, and a log its history: converting
// either as a script (a wildcard takes them along) would rewrite what must never change.
int RefuseBackupOrLog(const RunSettings& settings) {
  const std::string& name = settings.rcPath;
  std::string role = "backup";
  std::string script = ScriptBefore(name, "." + settings.backupExtension);
  if (script.empty()) {
    role = "log";
    script = ScriptBefore(name, ".log");
  }
  if (script.empty()) {
    return kSuccess;
  }
  if (!settings.silent) {
    PrintUtf8Text(name + " is the " + role + " of " + script + ": not converted\n");
  }
  return kFailure;
}

}  // namespace

int CheckRcFile(const RunSettings& settings, const std::string& backupPath,
                const std::string& inputPath, TextFormat& format, FormatRead& formatRead) {
  const std::string& rcPath = settings.rcPath;
  if (rcPath.empty()) {
    return ReportFailure(settings,
                         "File not given...\n"
                         "Please use the -f or --file option to specify a file\n");
  }
  switch (QueryPathKind(rcPath)) {
    case PathKind::kMissing:
      return ReportFailure(settings, "File given [" + rcPath + "] does not exist.\n");
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
  if (RefuseBackupOrLog(settings) != kSuccess) {
    return kFailure;
  }
  const std::string logPath = ComposeLogPath(rcPath);
  if (PathsDenoteSameFile(backupPath, rcPath) || PathsDenoteSameFile(backupPath, logPath)) {
    return ReportFailure(
        settings, "Backup file [" + backupPath + "] would be the rc file or its log.\n" +
                      "Please use the -e or --extension option to choose another extension\n");
  }
  formatRead = ReadTextFormat(inputPath, format);
  if (formatRead == FormatRead::kCutShort) {
    return ReportFailure(settings, "File [" + inputPath +
                                       "] is UTF-16 text whose last character is cut short.\n" +
                                       "Save it whole and run again.\n");
  }
  return kSuccess;
}

}  // namespace tablemend
