#include "app/program.h"

#include "app/named_files.h"
#include "app/run_each_file.h"
#include "platform/console.h"
#include "platform/platform.h"

namespace tablemend {

int RunProgram(int argumentCount, const char* const* arguments, CommandLineStyle style) {
  OpenClosedStandardStreams();
  KeepFreedMemoryForReuse();
  const CommandLine commandLine = ParseCommandLine(argumentCount, arguments, style);
  int status = commandLine.exitStatus;
  switch (commandLine.action) {
    case CommandLineAction::kShowUsage:
      PrintUsage();
      break;
    case CommandLineAction::kShowVersion:
      PrintVersion();
      break;
    case CommandLineAction::kRefuse:
      PrintError(commandLine.refusal);
      break;
    case CommandLineAction::kProcessFiles:
      status = RunEachFile(commandLine.fileAction, commandLine.settings, ResolveNames(commandLine));
      break;
  }
  // Messages that never reached the console make the run a failure, as any lost output would.
  if (!FlushConsole()) {
    status = -1;
  }
  return status;
}

}  // namespace tablemend
