#include "app/run_each_file.h"

#include "app/rc_file_checks.h"
#include "app/run_check.h"
#include "app/run_update.h"
#include "platform/console.h"

namespace tablemend {

int RunEachFile(bool check, RunSettings settings, const std::vector<std::string>& rcPaths) {
  const std::vector<std::string> named = rcPaths.empty() ? std::vector<std::string>(1) : rcPaths;
  bool anyFailed = false;
  bool anyWouldChange = false;
  for (const std::string& rcPath : named) {
    settings.rcPath = rcPath;
    // Only what is printed gets its heading: with -s, most files print nothing at all.
    PrintBeforeNextText(named.size() > 1 ? "==> " + rcPath + " <==\n" : "");
    const int status = check ? RunCheck(settings) : RunUpdate(settings);
    anyFailed = anyFailed || status == kFailure;
    anyWouldChange = anyWouldChange || status != kSuccess;
  }
  return anyFailed ? kFailure : anyWouldChange ? 1 : kSuccess;
}

}  // namespace tablemend
