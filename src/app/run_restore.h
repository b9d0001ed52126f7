// Undoing the runs: the original text, kept in the backup, put back under the rc file's name.
#ifndef TABLEMEND_APP_RUN_RESTORE_H
#define TABLEMEND_APP_RUN_RESTORE_H

#include <string>

#include "app/run_settings.h"

namespace tablemend {

// Renames the backup back to the rc file's name, replacing the converted file, when the guard
// allows it: a hand edit made after the last run is never dropped. Logs what it did and prints
// "Restored." unless silent. Returns 0, or -1 after a failure, which is reported; the refusal
// banner and nothing else touched when the rc file was edited after the last run.
int RunRestore(const std::string& rcPath, const RunSettings& settings);

}  // namespace tablemend

#endif
