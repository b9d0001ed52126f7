#include "app/run_each_file.h"

#include "app/failure_report.h"
#include "app/run_check.h"
#include "app/run_diff.h"
#include "app/run_restore.h"
#include "app/run_update.h"
#include "platform/console.h"

namespace tablemend {

namespace {

int RunOneFile(FileAction action, const RunSettings& settings) {
  switch (action) {
    case FileAction::kUpdate:
      return RunUpdate(settings);
    case FileAction::kCheck:
      return RunCheck(settings);
    case FileAction::kDiff:
      return RunDiff(settings);
    case FileAction::kRestore:
      return RunRestore(settings);
  }
  return kFailure;
}

}  // namespace

int RunEachFile(FileAction action, RunSettings settings, const std::vector<std::string>& rcPaths) {
  const std::vector<std::string> named = rcPaths.empty() ? std::vector<std::string>(1) : rcPaths;
  const bool headed = named.size() > 1 && action != FileAction::kDiff;
  bool anyFailed = false;
  bool anyWouldChange = false;
  for (const std::string& rcPath : named) {
    settings.rcPath = rcPath;
    // Only what is printed gets its heading: with -s, most files print nothing at all.
    PrintBeforeNextText(headed ? "==> " + rcPath + " <==\n" : "");
    const int status = RunOneFile(action, settings);
    anyFailed = anyFailed || status == kFailure;
    anyWouldChange = anyWouldChange || status != kSuccess;
  }
  return anyFailed ? kFailure : anyWouldChange ? kWouldChange : kSuccess;
}

}  // namespace tablemend
