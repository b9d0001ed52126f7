// Updates of rc files: check the name, put the first version aside as the backup, and write the
// rc file anew from that backup through the converter, the new text replacing the old in one step.
#ifndef TABLEMEND_APP_RUN_UPDATE_H
#define TABLEMEND_APP_RUN_UPDATE_H

#include <string>
#include <vector>

#include "app/run_settings.h"

namespace tablemend {

// Updates each file as if alone, and returns each one's status: 0 when it completed, -1 after any
// failure, which is reported on the console (most reports only when not silent), after the
// file's heading, in the order of the files. The new texts of several files reach the disk
// together: each is written to a temporary file beside its script, all of them are flushed, each
// script's backup is stamped and the new text renamed over the script, and the scripts' folders
// are flushed before the logs are closed.
std::vector<int> RunUpdates(const std::vector<std::string>& rcPaths,
                            const std::vector<std::string>& headings, const RunSettings& settings);

}  // namespace tablemend

#endif
