// What the command line asks of every file it names.
#ifndef TABLEMEND_APP_RUN_SETTINGS_H
#define TABLEMEND_APP_RUN_SETTINGS_H

#include <string>

namespace tablemend {

// What a call does to each file it names: update it, list what an update would change, show that
// change as a patch, or put its original back.
enum class FileAction { kUpdate, kCheck, kDiff, kRestore };

struct RunSettings {
  std::string backupExtension = "original";
  bool silent = false;
  bool verbose = false;
};

// The backup's name: the rc file's name, a dot and the extension.
inline std::string ComposeBackupPath(const std::string& rcPath, const RunSettings& settings) {
  return rcPath + "." + settings.backupExtension;
}

}  // namespace tablemend

#endif
