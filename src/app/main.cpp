// The process entry: parse the command line, then run the update or check it asks for over
// the files it names.
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/named_files.h"
#include "app/run_each_file.h"
#include "platform/console.h"
#include "platform/platform.h"
#include "unicode/unicode.h"

namespace {

int Run(int argumentCount, const char* const* arguments, tablemend::CommandLineStyle style) {
  using namespace tablemend;
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

}  // namespace

#ifdef _WIN32
// Windows hands the arguments over as UTF-16, every name exactly as typed, whatever the ANSI code
// page holds; the program works with them as UTF-8, a lone surrogate kept (WTF-8).
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  std::vector<const char*> pointers;
  for (int index = 0; index < argc; ++index) {
    arguments.push_back(tablemend::EncodeUtf8(reinterpret_cast<const char16_t*>(argv[index]),
                                              tablemend::LoneSurrogates::kKeep));
  }
  for (const std::string& argument : arguments) {
    pointers.push_back(argument.c_str());
  }
  return Run(argc, pointers.data(), tablemend::CommandLineStyle::kWindows);
}
#else
int main(int argc, char** argv) {
  return Run(argc, argv, tablemend::CommandLineStyle::kUnix);
}
#endif
