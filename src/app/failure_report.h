// How a run ends: the exit statuses, and the report of a failure.
#ifndef TABLEMEND_APP_FAILURE_REPORT_H
#define TABLEMEND_APP_FAILURE_REPORT_H

#include <string>
#include <string_view>

#include "app/run_settings.h"

namespace tablemend {

constexpr int kFailure = -1;
constexpr int kSuccess = 0;
constexpr int kWouldChange = 1;  // a check or a diff found something a run would change

// Prints a failure report and its closing "Exiting." line, unless silent, and returns kFailure.
// A report may name a file, whose name is UTF-8.
int ReportFailure(const RunSettings& settings, std::string_view report);

// Prints the one line that says why a file is left alone (a backup, a file that is not text),
// unless silent, and returns kFailure.
int ReportLeftAlone(const RunSettings& settings, std::string_view line);

// The first line of the last failure reported by the two above, silent or not, for the same
// failure in another shape (an annotation that a build tool reads); empty after
// ForgetLastFailure.
const std::string& LastFailureLine();
void ForgetLastFailure();
int ReportUnreadable(const RunSettings& settings, const std::string& path);
int ReportLogNotOpened(const std::string& rcPath, const RunSettings& settings);
int ReportNoFileNamed(const RunSettings& settings);

}  // namespace tablemend

#endif
