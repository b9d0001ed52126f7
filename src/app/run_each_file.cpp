#include "app/run_each_file.h"

#include <algorithm>

#include "app/failure_report.h"
#include "app/run_check.h"
#include "app/run_diff.h"
#include "app/run_restore.h"
#include "app/run_standard_input.h"
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

// Files named one after another, with the headings of their reports.
struct FileStretch {
  std::vector<std::string> paths;
  std::vector<std::string> headings;
};

// Does the action to each file of the stretch, which it empties; updates run together.
void RunStretch(FileAction action, const RunSettings& settings, FileStretch& stretch,
                std::vector<int>& statuses) {
  if (action == FileAction::kUpdate) {
    RemoveLeftoverTemporaryFiles(stretch.paths);
    const std::vector<int> updated = RunUpdates(stretch.paths, stretch.headings, settings);
    statuses.insert(statuses.end(), updated.begin(), updated.end());
  } else {
    for (std::size_t index = 0; index < stretch.paths.size(); ++index) {
      // Only what is printed gets its heading: with -s, most files print nothing at all.
      PrintBeforeNextText(stretch.headings[index]);
      statuses.push_back(RunOneFile(action, stretch.paths[index], settings));
    }
  }
  stretch = FileStretch();
}

}  // namespace

int RunEachFile(FileAction action, const RunSettings& settings,
                const std::vector<NamedFile>& named) {
  if (named.empty()) {
    return ReportNoFileNamed(settings);
  }
  if (named.front().kind == NamedKind::kStandardInput) {
    return RunOnStandardInput(action, settings);
  }
  const bool headed = action != FileAction::kDiff &&
                      std::count_if(named.begin(), named.end(), [](const NamedFile& file) {
                        return file.kind == NamedKind::kFile;
                      }) > 1;
  std::vector<int> statuses;
  FileStretch stretch;
  for (const NamedFile& file : named) {
    if (file.kind == NamedKind::kFile) {
      stretch.paths.push_back(file.path);
      stretch.headings.push_back(headed ? "==> " + file.path + " <==\n" : "");
      continue;
    }
    // What a folder said is said in its place, after the files named before it.
    RunStretch(action, settings, stretch, statuses);
    PrintBeforeNextText("");
    if (file.kind == NamedKind::kUnlistedFolder) {
      statuses.push_back(ReportFailure(settings, "Unable to list the folder [" + file.path + "]\n" +
                                                     "Make sure that you have permission to read "
                                                     "it.\n"));
    } else if (!settings.silent) {
      PrintUtf8Text(file.path + " holds no .rc file\n");
    }
  }
  RunStretch(action, settings, stretch, statuses);
  const auto any = [&statuses](bool (*test)(int)) {
    return std::any_of(statuses.begin(), statuses.end(), test);
  };
  return any([](int status) { return status == kFailure; })   ? kFailure
         : any([](int status) { return status != kSuccess; }) ? kWouldChange
                                                              : kSuccess;
}

}  // namespace tablemend
