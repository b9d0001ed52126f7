#include "app/command_line.h"

#include <string_view>

#include "platform/console.h"

namespace tablemend {

namespace {

constexpr std::string_view kUsageText =
    "usage: Tablemend.exe [options] [-f or --file] <filename>\n"
    "Options:\n"
    "  -h, --help         Print this message and exit\n"
    "  -f, --file         Process this file\n"
    "  -e, --extension    Use the following filename extension instead of the default\n"
    "  -s, --silent       Don't display messages, warnings, errors\n"
    "  -v, --verbose      Output as much data as possible\n"
    "  --check            List the lines a run would change, and change nothing\n"
    "  --version          Display version information\n"
    "\n"
    "This program was developed and designed by Ostrevane\n"
    "Please send bug reports to Email: bugs@tablemend.example\n";

constexpr std::string_view kVersionText =
    "Developed by Ostrevane in October 2005\n"
    "Version: " TABLEMEND_VERSION
    "\n"
    "\n";

bool IsOption(std::string_view argument, std::string_view shortForm, std::string_view longForm) {
  return argument == longForm || (!shortForm.empty() && argument == shortForm);
}

CommandLine EndWith(CommandLineAction action, int exitStatus) {
  CommandLine result;
  result.action = action;
  result.exitStatus = exitStatus;
  return result;
}

}  // namespace

CommandLine ParseCommandLine(int argumentCount, const char* const* arguments) {
  if (argumentCount < 2) {
    return EndWith(CommandLineAction::kShowUsage, -1);
  }
  CommandLine result;
  RunSettings& settings = result.settings;
  for (int index = 1; index < argumentCount; ++index) {
    const std::string_view argument = arguments[index];
    if (IsOption(argument, "-h", "--help")) {
      return EndWith(CommandLineAction::kShowUsage, 0);
    }
    const bool namesFile = IsOption(argument, "-f", "--file");
    if (namesFile || IsOption(argument, "-e", "--extension")) {
      if (index + 1 == argumentCount) {
        // A value option with nothing after it: a single argument is just a short command line,
        // but after others it is a mistake, and guessing a file name could touch the wrong file.
        return EndWith(CommandLineAction::kShowUsage, argumentCount == 2 ? 0 : -1);
      }
      (namesFile ? settings.rcPath : settings.backupExtension) = arguments[++index];
    } else if (IsOption(argument, "-s", "--silent")) {
      settings.silent = true;
    } else if (IsOption(argument, "", "--version")) {
      return EndWith(CommandLineAction::kShowVersion, 0);
    } else if (IsOption(argument, "-v", "--verbose")) {
      settings.verbose = true;
    } else if (IsOption(argument, "", "--check")) {
      result.action = CommandLineAction::kRunCheck;
    }
  }
  if (argumentCount < 3) {
    return EndWith(CommandLineAction::kShowUsage, 0);
  }
  return result;
}

void PrintUsage() {
  PrintText(kUsageText);
}

void PrintVersion() {
  PrintText(kVersionText);
}

}  // namespace tablemend
