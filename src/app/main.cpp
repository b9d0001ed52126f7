// The process entry: parse the command line, then run the update it asks for.
#include "app/command_line.h"
#include "app/run_update.h"
#include "platform/console.h"

int main(int argc, char** argv) {
  using namespace tablemend;
  const CommandLine commandLine = ParseCommandLine(argc, argv);
  int status = commandLine.exitStatus;
  switch (commandLine.action) {
    case CommandLineAction::kShowUsage:
      PrintUsage();
      break;
    case CommandLineAction::kShowVersion:
      PrintVersion();
      break;
    case CommandLineAction::kRunUpdate:
      status = RunUpdate(commandLine.settings);
      break;
  }
  // Messages that never reached the console make the run a failure, as any lost output would.
  if (!FlushConsole()) {
    status = -1;
  }
  return status;
}
