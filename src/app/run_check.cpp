#include "app/run_check.h"

#include <string>

#include "app/conversion.h"
#include "app/failure_report.h"
#include "app/rc_file_checks.h"
#include "platform/console.h"

namespace tablemend {

namespace {

// "app.rc:19:     IDS_APP_TITLE, "EI"": the form editors, compilers and CI annotations read.
void PrintChange(const RunSettings& settings, const ChangeRecord& change, LinePrinter print) {
  PrintUtf8Text(settings.rcPath + ":" + std::to_string(change.lineNumber) + ": ");
  print(change.newLine);
  // An entry without a comma keeps its line's end, and the last line may have none.
  if (change.newLine.empty() || change.newLine.back() != '\n') {
    PrintText("\n");
  }
}

void PrintCount(const RunSettings& settings, long long changes) {
  const std::string count = changes == 0   ? "nothing"
                            : changes == 1 ? "1 line"
                                           : std::to_string(changes) + " lines";
  PrintUtf8Text(settings.rcPath + ": " + count + " would change.\n");
}

}  // namespace

int RunCheck(const RunSettings& settings) {
  TextFormat format;
  if (CheckRcFile(settings, FileAction::kCheck) != kSuccess ||
      ReadConvertibleFormat(settings, format) != kSuccess) {
    return kFailure;
  }
  long long changes = 0;
  const ConversionEnd end = ConvertFile({settings.rcPath, "", format},
                                        [&](const ChangeRecord& change, LinePrinter print) {
                                          ++changes;
                                          if (!settings.silent) {
                                            PrintChange(settings, change, print);
                                          }
                                        });
  if (end == ConversionEnd::kInputNotOpened) {
    return ReportUnreadable(settings, settings.rcPath);
  }
  if (end == ConversionEnd::kInputNotRead) {
    return ReportFailure(settings, "Unable to read " + settings.rcPath + "\n");
  }
  if (!settings.silent) {
    PrintCount(settings, changes);
  }
  return changes > 0 ? kWouldChange : kSuccess;
}

}  // namespace tablemend
