#include "app/run_standard_input.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "app/conversion.h"
#include "app/failure_report.h"
#include "app/rc_file_checks.h"
#include "app/run_check.h"
#include "app/run_diff.h"
#include "platform/console.h"
#include "platform/platform.h"

namespace tablemend {

namespace {

// The new text goes out only once it is whole: a filter that fails must leave its caller's text
// alone (an editor would otherwise replace its buffer with a part of it).
int ConvertToStandardOutput(const std::string& stored, const RunSettings& settings) {
  const std::string& name = settings.standardInputName;
  TextFormat format;
  if (JudgeStoredFormat(name, stored, settings, format) != kSuccess) {
    return kFailure;
  }
  std::string converted;
  const ConversionResult result =
      ConvertStoredText(stored, format, settings.lineEnds, converted,
                        [&settings](const ChangeRecord& change, LinePrinter print) {
                          if (settings.verbose) {
                            PrintVerboseChange(change, print);
                          }
                        });
  if (result.end == ConversionEnd::kTextAfterEndMark) {
    return ReportFailure(settings, DescribeTextAfterEndMark(name, result.endMarkLine));
  }
  if (!WriteStandardOutput(converted)) {
    return ReportFailure(settings, "Unable to write the new text to standard output\n");
  }
  if (!settings.silent) {
    PrintText("Complete.\n");
  }
  return kSuccess;
}

}  // namespace

int RunOnStandardInput(FileAction action, const RunSettings& settings) {
  if (action == FileAction::kUpdate) {
    SendMessagesToStandardError();
  }
  std::string stored;
  if (!ReadStandardInput(stored)) {
    return ReportFailure(settings, "Unable to read " + settings.standardInputName + "\n");
  }
  switch (action) {
    case FileAction::kCheck:
      return RunCheckOfText(settings.standardInputName, stored, settings);
    case FileAction::kDiff:
      return RunDiffOfText(settings.standardInputName, stored, settings);
    case FileAction::kUpdate:
      return ConvertToStandardOutput(stored, settings);
    case FileAction::kRestore:  // refused with the command line: there is no backup to restore
      break;
  }
  return kFailure;
}

}  // namespace tablemend
