// The command line: options in, a RunSettings record or an early answer out.
#ifndef TABLEMEND_APP_COMMAND_LINE_H
#define TABLEMEND_APP_COMMAND_LINE_H

#include "app/run_settings.h"

namespace tablemend {

// What the process does after parsing: run the update, check what it would change, or print a
// text and end.
enum class CommandLineAction { kRunUpdate, kRunCheck, kShowUsage, kShowVersion };

struct CommandLine {
  CommandLineAction action = CommandLineAction::kRunUpdate;
  int exitStatus = 0;  // for the actions that end the process
  RunSettings settings;
};

// Walks the arguments (the program name first) left to right. Help and version answer at once;
// a value option takes the next argument verbatim, even when it looks like an option.
CommandLine ParseCommandLine(int argumentCount, const char* const* arguments);

void PrintUsage();
void PrintVersion();

}  // namespace tablemend

#endif
