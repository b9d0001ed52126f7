// A run's change shown before it is made, as a patch a reviewer reads and `git apply` takes.
#ifndef TABLEMEND_APP_RUN_DIFF_H
#define TABLEMEND_APP_RUN_DIFF_H

#include <string>

#include "app/run_settings.h"

namespace tablemend {

// Converts the rc file itself, in memory, by the rules of a run, and prints (unless silent) a
// unified diff of the file as it is against the text a run would leave, byte for byte; for
// UTF-16 text, the lines as UTF-8, under a line that says so. Writes no file and changes no time.
// Returns 1 when the texts differ, 0 when they do not, and -1 after the failures a run reports
// before converting.
int RunDiff(const std::string& rcPath, const RunSettings& settings);

// The same for a script read whole already (standard input), under the name the patch carries.
int RunDiffOfText(const std::string& name, const std::string& stored, const RunSettings& settings);

}  // namespace tablemend

#endif
