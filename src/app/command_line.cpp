#include "app/command_line.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

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
    "  --diff             Show the change a run would make as a patch, and change nothing\n"
    "  --restore          Put the backup back in place of the file, undoing the runs\n"
    "  --format FORMAT    Write --check's lines for gnu (the default), msvc or github\n"
    "  --exclude GLOB     Pass over files and folders of this name in the folders named\n"
    "  --stdin-name NAME  The name standard input goes by in reports\n"
    "  --line-ends ENDS   Write lines with CR LF (crlf, the default) or as they were (keep)\n"
    "  --version          Display version information\n"
    "  -                  Convert standard input to standard output\n"
    "A folder named stands for every .rc file below it.\n"
    "\n"
    "This program was developed and designed by Ostrevane\n"
    "Please send bug reports to Email: bugs@tablemend.example\n";

constexpr std::string_view kVersionText =
    "Developed by Ostrevane in October 2005\n"
    "Version: " TABLEMEND_VERSION
    "\n"
    "\n";

enum class OptionKind {
  kHelp,
  kFile,
  kExtension,
  kSilent,
  kVersion,
  kVerbose,
  kCheck,
  kDiff,
  kRestore,
  kFormat,
  kExclude,
  kStandardInputName,
  kLineEnds,
};

struct Option {
  char shortName;  // '\0' for none
  std::string_view longName;
  OptionKind kind;
};

constexpr Option kOptions[] = {
    {'h', "--help", OptionKind::kHelp},
    {'f', "--file", OptionKind::kFile},
    {'e', "--extension", OptionKind::kExtension},
    {'s', "--silent", OptionKind::kSilent},
    {'\0', "--version", OptionKind::kVersion},
    {'v', "--verbose", OptionKind::kVerbose},
    {'\0', "--check", OptionKind::kCheck},
    {'\0', "--diff", OptionKind::kDiff},
    {'\0', "--restore", OptionKind::kRestore},
    {'\0', "--format", OptionKind::kFormat},
    {'\0', "--exclude", OptionKind::kExclude},
    {'\0', "--stdin-name", OptionKind::kStandardInputName},
    {'\0', "--line-ends", OptionKind::kLineEnds},
};

const Option* FindShortOption(char name) {
  for (const Option& option : kOptions) {
    if (option.shortName == name) {
      return &option;
    }
  }
  return nullptr;
}

const Option* FindLongOption(std::string_view name) {
  for (const Option& option : kOptions) {
    if (option.longName == name) {
      return &option;
    }
  }
  return nullptr;
}

bool TakesValue(const Option& option) {
  switch (option.kind) {
    case OptionKind::kFile:
    case OptionKind::kExtension:
    case OptionKind::kFormat:
    case OptionKind::kExclude:
    case OptionKind::kStandardInputName:
    case OptionKind::kLineEnds:
      return true;
    case OptionKind::kHelp:
    case OptionKind::kSilent:
    case OptionKind::kVersion:
    case OptionKind::kVerbose:
    case OptionKind::kCheck:
    case OptionKind::kDiff:
    case OptionKind::kRestore:
      break;
  }
  return false;
}

CommandLine EndWith(CommandLineAction action, int exitStatus) {
  CommandLine result;
  result.action = action;
  result.exitStatus = exitStatus;
  return result;
}

CommandLine Refuse(const std::string& report) {
  CommandLine result = EndWith(CommandLineAction::kRefuse, -1);
  result.refusal = report + "Please use -h or --help for the options\n";
  return result;
}

CommandLine RefuseUnknown(std::string_view option, std::string_view argument) {
  const std::string named = "Unknown option [" + std::string(option) + "]";
  return Refuse(named + (option == argument ? "" : " in [" + std::string(argument) + "]") + "\n");
}

// The arguments being read, the one at `index` next, and what they said so far.
struct Walk {
  int count = 0;
  const char* const* arguments = nullptr;
  int index = 1;
  CommandLine result;
  std::string_view actionOption;  // the option that chose the file action, if any
  bool formatGiven = false;
  bool standardInputNamed = false;  // --stdin-name
};

// The file action an option asks for; one call does one.
bool ChooseFileAction(const Option& option, FileAction action, Walk& walk) {
  if (!walk.actionOption.empty() && walk.result.fileAction != action) {
    walk.result = Refuse("Options [" + std::string(walk.actionOption) + "] and [" +
                         std::string(option.longName) + "] cannot be used together\n");
    return true;
  }
  walk.result.fileAction = action;
  walk.actionOption = option.longName;
  return false;
}

// The shape of --check's lines a value of --format names; false for an unknown one.
bool ReadReportFormat(std::string_view value, ReportFormat& format) {
  constexpr std::pair<std::string_view, ReportFormat> kFormats[] = {
      {"gnu", ReportFormat::kGnu},
      {"msvc", ReportFormat::kMsvc},
      {"github", ReportFormat::kGithub}};
  for (const auto& [name, named] : kFormats) {
    if (value == name) {
      format = named;
      return true;
    }
  }
  return false;
}

// Applies an option; true when it ends the walk (help, version, a refusal).
bool Apply(const Option& option, std::string_view value, Walk& walk) {
  CommandLine& result = walk.result;
  RunSettings& settings = result.settings;
  switch (option.kind) {
    case OptionKind::kHelp:
      result = EndWith(CommandLineAction::kShowUsage, 0);
      return true;
    case OptionKind::kVersion:
      result = EndWith(CommandLineAction::kShowVersion, 0);
      return true;
    case OptionKind::kFile:
      result.names.emplace_back(value);
      break;
    case OptionKind::kExtension:
      settings.backupExtension = value;
      break;
    case OptionKind::kSilent:
      settings.silent = true;
      break;
    case OptionKind::kVerbose:
      settings.verbose = true;
      break;
    case OptionKind::kCheck:
      return ChooseFileAction(option, FileAction::kCheck, walk);
    case OptionKind::kDiff:
      return ChooseFileAction(option, FileAction::kDiff, walk);
    case OptionKind::kRestore:
      return ChooseFileAction(option, FileAction::kRestore, walk);
    case OptionKind::kFormat:
      walk.formatGiven = true;
      if (!ReadReportFormat(value, settings.reportFormat)) {
        result = Refuse("Unknown format [" + std::string(value) + "]: gnu, msvc or github\n");
        return true;
      }
      break;
    case OptionKind::kExclude:
      result.excludes.emplace_back(value);
      break;
    case OptionKind::kStandardInputName:
      walk.standardInputNamed = true;
      settings.standardInputName = value;
      break;
    case OptionKind::kLineEnds:
      if (value != "crlf" && value != "keep") {
        result = Refuse("Unknown line ends [" + std::string(value) + "]: keep or crlf\n");
        return true;
      }
      settings.lineEnds = value == "keep" ? LineEnds::kKeep : LineEnds::kCrLf;
      break;
  }
  return false;
}

// The refusals of options that the rest of the line makes meaningless, once it is read whole.
void RefuseMismatches(Walk& walk) {
  const CommandLine& result = walk.result;
  if (result.action != CommandLineAction::kProcessFiles) {
    return;
  }
  if (walk.formatGiven && result.fileAction != FileAction::kCheck) {
    walk.result = Refuse("Option [--format] shapes the lines of --check, and goes with it alone\n");
  } else if (result.readsStandardInput && result.fileAction == FileAction::kRestore) {
    walk.result = Refuse("Options [--restore] and [-] cannot be used together\n");
  } else if (result.readsStandardInput && !result.names.empty()) {
    walk.result = Refuse("Standard input [-] stands alone: no file may be named with it\n");
  } else if (walk.standardInputNamed && !result.readsStandardInput) {
    walk.result = Refuse("Option [--stdin-name] names standard input, which only [-] reads\n");
  }
}

// The value of an option that takes one: attached to it, or else the next argument. False when
// there is none.
bool TakeValue(Walk& walk, std::optional<std::string_view> attached, std::string_view& value) {
  if (attached) {
    value = *attached;
    return true;
  }
  if (walk.index + 1 >= walk.count) {
    return false;
  }
  value = walk.arguments[++walk.index];
  return true;
}

CommandLine RefuseMissingValue(std::string_view option) {
  return Refuse("Option [" + std::string(option) + "] needs a value\n");
}

// "--name" or "--name=value"; true when the walk ends.
bool ReadLongOption(Walk& walk, std::string_view argument) {
  const std::size_t equals = argument.find('=');
  const Option* option = FindLongOption(argument.substr(0, equals));
  const bool hasAttached = equals != std::string_view::npos;
  if (option == nullptr || (hasAttached && !TakesValue(*option))) {
    walk.result = RefuseUnknown(argument, argument);
    return true;
  }
  std::optional<std::string_view> attached;
  if (hasAttached) {
    attached = argument.substr(equals + 1);
  }
  std::string_view value;
  if (TakesValue(*option) && !TakeValue(walk, attached, value)) {
    walk.result = RefuseMissingValue(option->longName);
    return true;
  }
  return Apply(*option, value, walk);
}

// "-sv", "-fapp.rc", "-svf app.rc": flags, then at most one option that takes the rest as its
// value; true when the walk ends.
bool ReadShortOptions(Walk& walk, std::string_view argument) {
  for (std::size_t position = 1; position < argument.size(); ++position) {
    const std::string name = {'-', argument[position]};
    const Option* option = FindShortOption(argument[position]);
    if (option == nullptr) {
      walk.result = RefuseUnknown(name, argument);
      return true;
    }
    if (TakesValue(*option)) {
      std::optional<std::string_view> rest;
      if (position + 1 < argument.size()) {
        rest = argument.substr(position + 1);
      }
      std::string_view value;
      if (!TakeValue(walk, rest, value)) {
        walk.result = RefuseMissingValue(name);
        return true;
      }
      return Apply(*option, value, walk);
    }
    if (Apply(*option, "", walk)) {
      return true;
    }
  }
  return false;
}

}  // namespace

CommandLine ParseCommandLine(int argumentCount, const char* const* arguments,
                             CommandLineStyle style) {
  if (argumentCount < 2) {
    return EndWith(CommandLineAction::kShowUsage, -1);
  }
  Walk walk;
  walk.count = argumentCount;
  walk.arguments = arguments;
  bool optionsEnded = false;
  for (; walk.index < argumentCount; ++walk.index) {
    const std::string_view argument = arguments[walk.index];
    if (!optionsEnded && style == CommandLineStyle::kWindows && argument == "/?") {
      return EndWith(CommandLineAction::kShowUsage, 0);
    }
    // A lone "-" is standard input, as formatters take it; after "--", a file's name.
    if (!optionsEnded && argument == "-") {
      walk.result.readsStandardInput = true;
    } else if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
      walk.result.names.emplace_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (argument[1] == '-' ? ReadLongOption(walk, argument)
                                  : ReadShortOptions(walk, argument)) {
      break;
    }
  }
  walk.result.style = style;
  RefuseMismatches(walk);
  return walk.result;
}

void PrintUsage() {
  PrintText(kUsageText);
}

void PrintVersion() {
  PrintText(kVersionText);
}

}  // namespace tablemend
