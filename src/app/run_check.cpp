#include "app/run_check.h"

#include <string>

#include "app/conversion.h"
#include "app/failure_report.h"
#include "app/rc_file_checks.h"
#include "platform/console.h"

namespace tablemend {

namespace {

// "app.rc:19:     IDS_APP_TITLE, "EI"": the form editors, compilers and CI annotations read.
void PrintChange(const std::string& rcPath, const ChangeRecord& change, LinePrinter print) {
  PrintUtf8Text(rcPath + ":" + std::to_string(change.lineNumber) + ": ");
  print(change.newLine);
  // An entry without a comma keeps its line's end, and the last line may have none.
  if (change.newLine.empty() || change.newLine.back() != '\n') {
    PrintText("\n");
  }
}

void PrintCount(const std::string& rcPath, long long changes) {
  const std::string count = changes == 0   ? "nothing"
                            : changes == 1 ? "1 line"
                                           : std::to_string(changes) + " lines";
  PrintUtf8Text(rcPath + ": " + count + " would change.\n");
}

}  // namespace

int RunCheck(const std::string& rcPath, const RunSettings& settings) {
  TextFormat format;
  if (CheckRcFile(rcPath, settings, FileAction::kCheck) != kSuccess ||
      ReadConvertibleFormat(rcPath, settings, format) != kSuccess) {
    return kFailure;
  }
  long long changes = 0;
  const ConversionResult result =
      ConvertFile({rcPath, "", format}, [&](const ChangeRecord& change, LinePrinter print) {
        ++changes;
        if (!settings.silent) {
          PrintChange(rcPath, change, print);
        }
      });
  switch (result.end) {
    case ConversionEnd::kInputNotOpened:
      return ReportUnreadable(settings, rcPath);
    case ConversionEnd::kInputNotRead:
      return ReportFailure(settings, "Unable to read " + rcPath + "\n");
    case ConversionEnd::kTextAfterEndMark:
      return ReportFailure(settings, DescribeTextAfterEndMark(rcPath, result.endMarkLine));
    case ConversionEnd::kComplete:
    case ConversionEnd::kOutputNotOpened:  // no output: only the changes count
    case ConversionEnd::kOutputNotWritten:
      break;
  }
  if (!settings.silent) {
    PrintCount(rcPath, changes);
  }
  return changes > 0 ? kWouldChange : kSuccess;
}

}  // namespace tablemend
