#include "app/failure_report.h"

#include "platform/console.h"
#include "safeguard/run_log.h"

namespace tablemend {

namespace {

std::string lastFailureLine;

void NoteFailure(std::string_view report) {
  lastFailureLine = report.substr(0, report.find('\n'));
}

}  // namespace

int ReportFailure(const RunSettings& settings, std::string_view report) {
  NoteFailure(report);
  if (!settings.silent) {
    PrintUtf8Text(report);
    PrintText("Exiting.\n");
  }
  return kFailure;
}

int ReportLeftAlone(const RunSettings& settings, std::string_view line) {
  NoteFailure(line);
  if (!settings.silent) {
    PrintUtf8Text(line);
  }
  return kFailure;
}

const std::string& LastFailureLine() {
  return lastFailureLine;
}

void ForgetLastFailure() {
  lastFailureLine.clear();
}

int ReportUnreadable(const RunSettings& settings, const std::string& path) {
  return ReportFailure(settings, "Unable to open " + path + " for reading\n" +
                                     "Make sure that you have permission to read the file.\n");
}

int ReportLogNotOpened(const std::string& rcPath, const RunSettings& settings) {
  return ReportFailure(settings, "Unable to open " + ComposeLogPath(rcPath) +
                                     " for writing log information\n" +
                                     "Make sure that you have permission to write to the file.\n");
}

int ReportNoFileNamed(const RunSettings& settings) {
  return ReportFailure(settings,
                       "File not given...\n"
                       "Please use the -f or --file option to specify a file\n");
}

}  // namespace tablemend
