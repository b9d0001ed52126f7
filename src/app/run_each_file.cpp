#include "app/run_each_file.h"

#include <algorithm>

#include "app/failure_report.h"
#include "app/run_check.h"
#include "app/run_diff.h"
#include "app/run_restore.h"
#include "app/run_update.h"
#include "app/temporary_file.h"
#include "platform/console.h"

namespace tablemend {

namespace {

// A check, a diff or a restore of one file; updates run together (RunUpdates).
int RunOneFile(FileAction action, const std::string& rcPath, const RunSettings& settings) {
  switch (action) {
    case FileAction::kCheck:
      return RunCheck(rcPath, settings);
    case FileAction::kDiff:
      return RunDiff(rcPath, settings);
    case FileAction::kRestore:
      return RunRestore(rcPath, settings);
    case FileAction::kUpdate:
      break;
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
  std::vector<std::string> headings;
  for (const std::string& rcPath : rcPaths) {
    headings.push_back(headed ? "==> " + rcPath + " <==\n" : "");
  }
  std::vector<int> statuses;
  if (action == FileAction::kUpdate) {
    RemoveLeftoverTemporaryFiles(rcPaths);
    statuses = RunUpdates(rcPaths, headings, settings);
  } else {
    for (std::size_t index = 0; index < rcPaths.size(); ++index) {
      // Only what is printed gets its heading: with -s, most files print nothing at all.
      PrintBeforeNextText(headings[index]);
      statuses.push_back(RunOneFile(action, rcPaths[index], settings));
    }
  }
  const auto any = [&statuses](bool (*test)(int)) {
    return std::any_of(statuses.begin(), statuses.end(), test);
  };
  return any([](int status) { return status == kFailure; })   ? kFailure
         : any([](int status) { return status != kSuccess; }) ? kWouldChange
                                                              : kSuccess;
}

}  // namespace tablemend
