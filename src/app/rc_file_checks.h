// What a run and a check both do before converting: name the backup, refuse what cannot be
// converted safely, and report failures the same way.
#ifndef TABLEMEND_APP_RC_FILE_CHECKS_H
#define TABLEMEND_APP_RC_FILE_CHECKS_H

#include <string>
#include <string_view>

#include "app/run_settings.h"
#include "text/text_format.h"

namespace tablemend {

constexpr int kFailure = -1;
constexpr int kSuccess = 0;

// The backup's name: the rc file's name, a dot and the extension.
std::string ComposeBackupPath(const RunSettings& settings);

// Prints a failure report and its closing "Exiting." line, unless silent, and returns kFailure.
// A report may name a file, whose name is UTF-8.
int ReportFailure(const RunSettings& settings, std::string_view report);
int ReportUnreadable(const RunSettings& settings, const std::string& path);

// Refuses, with its report, what cannot be converted safely before anything is renamed, written
// or logged: a missing name, a missing file, a directory or device, an extension that names
// another folder, a backup name that would be the rc file or its log (whose text would then
// replace the rc file's), and UTF-16 text at `inputPath` cut inside a character. kSuccess when
// the conversion may go on; `format` is then the one read from `inputPath`, and `formatRead`
// says whether it could be read at all, which the caller reports in its own place.
int CheckRcFile(const RunSettings& settings, const std::string& backupPath,
                const std::string& inputPath, TextFormat& format, FormatRead& formatRead);

}  // namespace tablemend

#endif
