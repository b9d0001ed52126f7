// What the command line asks of every file it names.
#ifndef TABLEMEND_APP_RUN_SETTINGS_H
#define TABLEMEND_APP_RUN_SETTINGS_H

#include <string>

namespace tablemend {

// What a call does to each file it names: update it, list what an update would change, show that
// change as a patch, or put its original back.
enum class FileAction { kUpdate, kCheck, kDiff, kRestore };

// The shape of --check's lines, for the tools that read them: "FILE:LINE: new line" as compilers
// and editors print, MSBuild's canonical error (Visual Studio's Error List), or a GitHub Actions
// workflow command (an annotation on the pull request).
enum class ReportFormat { kGnu, kMsvc, kGithub };

// The line ends a run writes: CR LF for every line, as the text-file rules have it, or each
// line's own, as the script's repository keeps them (only the lines a run rewrites then change).
enum class LineEnds { kCrLf, kKeep };

struct RunSettings {
  std::string backupExtension = "original";
  bool silent = false;
  bool verbose = false;
  ReportFormat reportFormat = ReportFormat::kGnu;
  LineEnds lineEnds = LineEnds::kCrLf;
  std::string standardInputName = "(standard input)";  // what reports call "-"
};

// The backup's name: the rc file's name, a dot and the extension.
inline std::string ComposeBackupPath(const std::string& rcPath, const RunSettings& settings) {
  return rcPath + "." + settings.backupExtension;
}

}  // namespace tablemend

#endif
