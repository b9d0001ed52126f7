#include "app/run_each_file.h"

#include "app/failure_report.h"
#include "app/run_check.h"
#include "app/run_diff.h"
#include "app/run_restore.h"
#include "app/run_update.h"
#include "platform/console.h"

namespace tablemend {

namespace {

int RunOneFile(FileAction action, const std::string& rcPath, const RunSettings& settings) {
  switch (action) {
    case FileAction::kUpdate:
      return RunUpdate(rcPath, settings);
    case FileAction::kCheck:
      return RunCheck(rcPath, settings);
    case FileAction::kDiff:
      return RunDiff(rcPath, settings);
    case FileAction::kRestore:
      return RunRestore(rcPath, settings);
  }
  return kFailure;
}

}  // namespace

int RunEachFile(FileAction action, const RunSettings& settings,
                const std::vector<std::string>& rcPaths) {
  if (rcPaths.empty()) {
    return ReportNoFileNamed(settings);
  }
  const bool headed = rcPaths.size() > 1 && action != FileAction::kDiff;
  bool anyFailed = false;
  bool anyWouldChange = false;
  for (const std::string& rcPath : rcPaths) {
    // Only what is printed gets its heading: with -s, most files print nothing at all.
    PrintBeforeNextText(headed ? "==> " + rcPath + " <==\n" : "");
    const int status = RunOneFile(action, rcPath, settings);
    anyFailed = anyFailed || status == kFailure;
    anyWouldChange = anyWouldChange || status != kSuccess;
  }
  return anyFailed ? kFailure : anyWouldChange ? kWouldChange : kSuccess;
}

}  // namespace tablemend
