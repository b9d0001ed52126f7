// Runs a program as a child process and collects what it printed and its exit status.
#ifndef TABLEMEND_TESTS_E2E_PROCESS_H
#define TABLEMEND_TESTS_E2E_PROCESS_H

#include <functional>
#include <string>
#include <vector>

namespace tablemend::e2e {

struct ProcessResult {
  int exitStatus = -1;  // the status as a shell sees it, 0 to 255
  bool killedBySignal = false;
  int signalNumber = 0;
  std::string output;       // standard output, byte for byte
  std::string errorOutput;  // standard error
};

// Starts `command` (the program and its arguments) in `workingDirectory`, with no standard
// input, and waits for it to end. While it runs, `killWhen` (when given) is asked every
// millisecond or so; once it answers true the process is killed with SIGKILL.
ProcessResult RunProcess(const std::vector<std::string>& command,
                         const std::string& workingDirectory,
                         const std::function<bool()>& killWhen = nullptr);

}  // namespace tablemend::e2e

#endif
