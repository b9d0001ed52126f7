#include "app/run_check.h"

#include <string>

#include "app/rc_file_checks.h"
#include "convert/string_table_converter.h"
#include "platform/console.h"
#include "text/text_reader.h"
#include "unicode/unicode.h"

namespace tablemend {

namespace {

constexpr int kWouldChange = 1;

// "app.rc:19:     IDS_APP_TITLE, "EI"": the form editors, compilers and CI annotations read.
void PrintChange(const RunSettings& settings, long long lineNumber, std::string_view newLine,
                 void (*print)(std::string_view)) {
  PrintUtf8Text(settings.rcPath + ":" + std::to_string(lineNumber) + ": ");
  print(newLine);
  // An entry without a comma keeps its line's end, and the last line may have none.
  if (newLine.empty() || newLine.back() != '\n') {
    PrintText("\n");
  }
}

void PrintChange(const RunSettings& settings, const ChangeRecord& change) {
  PrintChange(settings, change.lineNumber, change.newLine, PrintText);
}

// A UTF-16 line is shown as UTF-8, with U+FFFD for an unpaired surrogate.
void PrintChange(const RunSettings& settings, const BasicChangeRecord<char16_t>& change) {
  PrintChange(settings, change.lineNumber, EncodeUtf8(change.newLine, LoneSurrogates::kReplace),
              PrintUtf8Text);
}

void PrintCount(const RunSettings& settings, long long changes) {
  const std::string count = changes == 0   ? "nothing"
                            : changes == 1 ? "1 line"
                                           : std::to_string(changes) + " lines";
  PrintUtf8Text(settings.rcPath + ": " + count + " would change.\n");
}

template <typename Unit>
int CheckUnits(const RunSettings& settings, const TextFormat& format) {
  BasicTextReader<Unit> input;
  if (!OpenTextReader(settings.rcPath, format, input)) {
    return ReportUnreadable(settings, settings.rcPath);
  }
  BasicTextWriter<Unit> output;
  AttachTextDiscarder(format, output);
  long long changes = 0;
  ConvertStringTables<Unit>(input, output, [&](const BasicChangeRecord<Unit>& change) {
    ++changes;
    if (!settings.silent) {
      PrintChange(settings, change);
    }
  });
  if (input.readFailed) {
    return ReportFailure(settings, "Unable to read " + settings.rcPath + "\n");
  }
  if (!settings.silent) {
    PrintCount(settings, changes);
  }
  return changes > 0 ? kWouldChange : kSuccess;
}

}  // namespace

int RunCheck(const RunSettings& settings) {
  if (CheckRcFile(settings, ComposeBackupPath(settings), settings.rcPath) != kSuccess) {
    return kFailure;
  }
  TextFormat format;
  if (ReadTextFormat(settings.rcPath, format) != FormatRead::kRead) {
    return ReportUnreadable(settings, settings.rcPath);
  }
  if (format.encoding == TextEncoding::kBytes) {
    return CheckUnits<char>(settings, format);
  }
  return CheckUnits<char16_t>(settings, format);
}

}  // namespace tablemend
