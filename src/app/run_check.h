// A look before a run: which lines of the rc file a run would rewrite, with nothing touched.
#ifndef TABLEMEND_APP_RUN_CHECK_H
#define TABLEMEND_APP_RUN_CHECK_H

#include <string>

#include "app/run_settings.h"

namespace tablemend {

// Converts the rc file itself, in memory, by the rules of a run, and prints (unless silent) one
// line "FILE:LINE: new line" (or the shape --format gives) for each line a run would rewrite,
// then a line that counts them. Writes no file and changes no time. Returns 1 when a run would
// change something, 0 when it would not, and -1 after the failures a run reports before
// converting; in the msvc and github shapes, a failure is also an error on the file's first line.
int RunCheck(const std::string& rcPath, const RunSettings& settings);

// The same for a script read whole already (standard input), under the name its lines carry.
int RunCheckOfText(const std::string& name, const std::string& stored, const RunSettings& settings);

}  // namespace tablemend

#endif
