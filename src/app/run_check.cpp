#include "app/run_check.h"

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>

#include "app/conversion.h"
#include "app/failure_report.h"
#include "app/rc_file_checks.h"
#include "platform/console.h"

namespace tablemend {

namespace {

// The new line as a report's message holds it: without its line end, and, for the tools that
// list it beside the file's name, without its indentation.
std::string_view LineOfMessage(std::string_view newLine, bool indented) {
  if (!newLine.empty() && newLine.back() == '\n') {
    newLine.remove_suffix(1);
  }
  if (!indented) {
    newLine.remove_prefix(std::min(newLine.size(), newLine.find_first_not_of(" \t")));
  }
  return newLine;
}

// A workflow command's escapes: "%", CR and LF in its message; also ":" and "," in a property.
std::string EscapeForWorkflow(std::string_view text, bool property) {
  std::string escaped;
  for (const char character : text) {
    switch (character) {
      case '%':
        escaped += "%25";
        break;
      case '\r':
        escaped += "%0D";
        break;
      case '\n':
        escaped += "%0A";
        break;
      case ':':
        escaped += property ? "%3A" : ":";
        break;
      case ',':
        escaped += property ? "%2C" : ",";
        break;
      default:
        escaped += character;
    }
  }
  return escaped;
}

// The start of a report on a line of a file, up to its message, in the format's shape.
std::string ReportOnLine(const std::string& name, long long line, std::string_view code,
                         ReportFormat format) {
  const std::string number = std::to_string(line);
  switch (format) {
    case ReportFormat::kGnu:
      break;
    case ReportFormat::kMsvc:
      return name + "(" + number + "): error " + std::string(code) + ": ";
    case ReportFormat::kGithub:
      return "::error file=" + EscapeForWorkflow(name, true) + ",line=" + number + "::";
  }
  return name + ":" + number + ": ";
}

constexpr std::string_view kEmptyString = "empty string; a run writes: ";

// One line for a line a run would rewrite: "app.rc:19:     IDS_APP_TITLE, "EI"", as compilers
// and editors print, or in the shape of MSBuild's errors or of a workflow command.
void PrintChange(const std::string& name, const ChangeRecord& change, LinePrinter print,
                 ReportFormat format) {
  PrintUtf8Text(ReportOnLine(name, change.lineNumber, "TM0001", format));
  const std::string_view line = LineOfMessage(change.newLine, format == ReportFormat::kGnu);
  switch (format) {
    case ReportFormat::kGnu:
      print(line);
      break;
    case ReportFormat::kMsvc:
      print(std::string(kEmptyString) + std::string(line));
      break;
    case ReportFormat::kGithub:
      print(EscapeForWorkflow(std::string(kEmptyString) + std::string(line), false));
      break;
  }
  PrintText("\n");
}

void PrintCount(const std::string& name, long long changes) {
  const std::string count = changes == 0   ? "nothing"
                            : changes == 1 ? "1 line"
                                           : std::to_string(changes) + " lines";
  PrintUtf8Text(name + ": " + count + " would change.\n");
}

// Lists the changes of a script whose format is known.
int CheckConvertible(const std::string& name, const ConversionFiles& files,
                     const RunSettings& settings) {
  long long changes = 0;
  const ConversionResult result =
      ConvertFile(files, [&](const ChangeRecord& change, LinePrinter print) {
        ++changes;
        if (!settings.silent) {
          PrintChange(name, change, print, settings.reportFormat);
        }
      });
  switch (result.end) {
    case ConversionEnd::kInputNotOpened:
      return ReportUnreadable(settings, name);
    case ConversionEnd::kInputNotRead:
      return ReportFailure(settings, "Unable to read " + name + "\n");
    case ConversionEnd::kTextAfterEndMark:
      return ReportFailure(settings, DescribeTextAfterEndMark(name, result.endMarkLine));
    case ConversionEnd::kComplete:
    case ConversionEnd::kOutputNotOpened:  // no output: only the changes count
    case ConversionEnd::kOutputNotWritten:
      break;
  }
  if (!settings.silent) {
    PrintCount(name, changes);
  }
  return changes > 0 ? kWouldChange : kSuccess;
}

// Runs a check, and where it fails, says so again, for the tools that read the msvc and github
// shapes, as an error on the file's first line.
int CheckAnnotatingFailure(const std::string& name, const RunSettings& settings,
                           const std::function<int()>& check) {
  ForgetLastFailure();
  const int status = check();
  if (status == kFailure && !settings.silent && settings.reportFormat != ReportFormat::kGnu) {
    const std::string& reason = LastFailureLine();
    PrintUtf8Text(ReportOnLine(name, 1, "TM0002", settings.reportFormat) +
                  (settings.reportFormat == ReportFormat::kGithub ? EscapeForWorkflow(reason, false)
                                                                  : reason) +
                  "\n");
  }
  return status;
}

}  // namespace

int RunCheck(const std::string& rcPath, const RunSettings& settings) {
  return CheckAnnotatingFailure(rcPath, settings, [&] {
    TextFormat format;
    OpenedText opened;
    if (CheckRcFile(rcPath, settings, FileAction::kCheck) != kSuccess ||
        ReadConvertibleFormat(rcPath, settings, format, opened) != kSuccess) {
      return kFailure;
    }
    ConversionFiles files{rcPath, "", format};
    files.openedInput = &opened;
    return CheckConvertible(rcPath, files, settings);
  });
}

int RunCheckOfText(const std::string& name, const std::string& stored,
                   const RunSettings& settings) {
  return CheckAnnotatingFailure(name, settings, [&] {
    TextFormat format;
    if (JudgeStoredFormat(name, stored, settings, format) != kSuccess) {
      return kFailure;
    }
    ConversionFiles files{"", "", format};
    files.inputText = &stored;
    return CheckConvertible(name, files, settings);
  });
}

}  // namespace tablemend
