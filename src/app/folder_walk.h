// Folders named on the command line: the scripts below them, found as formatters and linters find
// the files of their kind in a source tree.
#ifndef TABLEMEND_APP_FOLDER_WALK_H
#define TABLEMEND_APP_FOLDER_WALK_H

#include <string>
#include <vector>

#include "app/run_settings.h"

namespace tablemend {

// What a walk takes and passes over.
struct WalkRules {
  const RunSettings& settings;               // the backup extension in force
  const std::vector<std::string>& excludes;  // patterns of names passed over, "*" and "?"
  bool withBackupOnly = false;               // a restore's walk: the scripts that have a backup
};

// The scripts below the folder, at any depth, as the folder was typed and then the platform's
// separator: files whose names end in ".rc" in any case, depth first, each folder's entries in
// the order of their names (as the file system compares them, bytes then breaking ties). Passed
// over: names that begin with "." (hidden folders, a run's temporary files), names that match an
// exclusion, a script's backup or log, links to folders (a tree is walked once), and anything
// that is neither a folder nor a file. Appends the folders that could not be listed to
// `unlisted`.
void WalkFolder(const std::string& folder, const WalkRules& rules, std::vector<std::string>& found,
                std::vector<std::string>& unlisted);

}  // namespace tablemend

#endif
