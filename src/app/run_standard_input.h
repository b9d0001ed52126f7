// A script that comes in on standard input: the program as a filter, for editors, pipes and files
// that are not on disk (git show HEAD:app.rc).
#ifndef TABLEMEND_APP_RUN_STANDARD_INPUT_H
#define TABLEMEND_APP_RUN_STANDARD_INPUT_H

#include "app/run_settings.h"

namespace tablemend {

// Reads the script from standard input, whole, and converts it as a run would, in its own
// encoding: a run writes the new text to standard output and nothing else (no backup, no log, no
// guard), its messages and -v lines going to standard error, and on any failure writes nothing
// to standard output at all; a check or a diff prints as for a file, under the name standard
// input goes by. The status as for a file.
int RunOnStandardInput(FileAction action, const RunSettings& settings);

}  // namespace tablemend

#endif
