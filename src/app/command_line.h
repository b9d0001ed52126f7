// The command line: options in, a RunSettings record and the files to process, or an early
// answer, out.
#ifndef TABLEMEND_APP_COMMAND_LINE_H
#define TABLEMEND_APP_COMMAND_LINE_H

#include <string>
#include <vector>

#include "app/run_settings.h"

namespace tablemend {

// What the process does after parsing: process the files named, print a text and end, or
// refuse the command line with a report.
enum class CommandLineAction { kProcessFiles, kShowUsage, kShowVersion, kRefuse };

// The conventions of the shells the program is started from. Windows users ask for help with
// "/?", and their shells leave wildcards to the program; Unix shells expand them, and there "/?"
// is a name like any other.
enum class CommandLineStyle { kUnix, kWindows };

struct CommandLine {
  CommandLineAction action = CommandLineAction::kProcessFiles;
  int exitStatus = 0;  // for the actions that end the process
  FileAction fileAction = FileAction::kUpdate;
  RunSettings settings;
  CommandLineStyle style = CommandLineStyle::kUnix;
  std::vector<std::string> names;     // in the order they were named, as typed
  bool readsStandardInput = false;    // "-" was named, alone
  std::vector<std::string> excludes;  // --exclude patterns, for the folders' walks
  std::string refusal;                // for kRefuse: what was wrong, for standard error
};

// Reads the arguments (the program name first) left to right, in getopt's forms: short options
// clustered (-sv), a short option's value attached or the next argument (-fapp.rc, -f app.rc),
// a long option's after "=" or the next argument; long options matched whole. A value is taken
// verbatim, even when it looks like an option. Help and version answer where they stand,
// unread what follows; an unknown option, a missing value or two of --check, --diff and
// --restore refuse the line, and so do options that the action does not take. Every other
// argument, and every argument after "--", names a file (or folder), as -f does; "-" before
// "--" names standard input, alone. In the Windows style, "/?" is help. What the names stand for
// is named_files' business.
CommandLine ParseCommandLine(int argumentCount, const char* const* arguments,
                             CommandLineStyle style);

void PrintUsage();
void PrintVersion();

}  // namespace tablemend

#endif
