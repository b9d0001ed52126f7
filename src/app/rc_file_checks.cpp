#include "app/rc_file_checks.h"

#include <cstdint>
#include <string_view>

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
  std::string role;
  const std::string script = FindOwningScript(name, settings, role);
  if (script.empty()) {
    return kSuccess;
  }
  const char* const undone = action == FileAction::kRestore ? "restored" : "converted";
  return ReportLeftAlone(settings,
                         name + " is " + role + " of " + script + ": not " + undone + "\n");
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

// kSuccess for text read, or the report of text that is cut short, is no text or cannot be read,
// from the file, or standard input, of this name.
int ReportUnconvertible(FormatRead read, const std::string& name, const RunSettings& settings) {
  switch (read) {
    case FormatRead::kRead:
      return kSuccess;
    case FormatRead::kCutShort:
      return ReportCutShort(settings, name);
    case FormatRead::kNotText:
      return ReportNotText(settings, name);
    case FormatRead::kUnreadable:
      break;
  }
  return ReportUnreadable(settings, name);
}

}  // namespace

std::string FindOwningScript(const std::string& path, const RunSettings& settings,
                             std::string& role) {
  role = "a temporary file";
  std::string script = FindScriptOfTemporaryFile(path);
  if (script.empty()) {
    role = "the backup";
    script = ScriptBefore(path, "." + settings.backupExtension);
  }
  if (script.empty()) {
    role = "the log";
    script = ScriptBefore(path, ".log");
  }
  return script;
}

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
  if (PathDenotesAnyOf(backupPath, {rcPath, ComposeLogPath(rcPath)})) {
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
  return ReportLeftAlone(settings, path + " is not a text file: not converted\n");
}

int JudgeStoredFormat(const std::string& name, const std::string& stored,
                      const RunSettings& settings, TextFormat& format) {
  const FormatRead read = JudgeTextFormat(std::string_view(stored).substr(0, kTextProbeLength),
                                          static_cast<std::int64_t>(stored.size()), format);
  return ReportUnconvertible(read, name, settings);
}

int ReadConvertibleFormat(const std::string& rcPath, const RunSettings& settings,
                          TextFormat& format, OpenedText& opened) {
  return ReportUnconvertible(ReadTextFormat(rcPath, format, opened), rcPath, settings);
}

}  // namespace tablemend
