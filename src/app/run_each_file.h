// A call that names several files: each is processed in turn as if it alone had been named.
#ifndef TABLEMEND_APP_RUN_EACH_FILE_H
#define TABLEMEND_APP_RUN_EACH_FILE_H

#include <string>
#include <vector>

#include "app/named_files.h"
#include "app/run_settings.h"

namespace tablemend {

// Does the action to each file, the next one also after a failure, with "==> name <==" before
// each file's reports when there are several (but between diffs, which say which file they are
// of); says, in its place, that a folder holds no script, and reports one that could not be
// listed; runs standard input's script; with nothing named, reports that. The exit status: -1
// when any failed, else, for a check or a diff, 1 when any would change, else 0. With one file,
// exactly that file's run.
int RunEachFile(FileAction action, const RunSettings& settings,
                const std::vector<NamedFile>& named);

}  // namespace tablemend

#endif
