#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tablemend {
namespace {

void PrintArguments(const std::vector<const char*>& arguments, std::ostream* out) {
  for (const char* argument : arguments) {
    *out << "[" << argument << "]";
  }
}

CommandLine Parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "Tablemend.exe");
  return ParseCommandLine(static_cast<int>(arguments.size()), arguments.data());
}

struct EarlyExitCase {
  std::vector<const char*> arguments;
  CommandLineAction action;
  int exitStatus;
  friend void PrintTo(const EarlyExitCase& value, std::ostream* out) {
    PrintArguments(value.arguments, out);
  }
};

class EarlyExitTest : public ::testing::TestWithParam<EarlyExitCase> {};

TEST_P(EarlyExitTest, EndsWithTheTextAndStatus) {
  const CommandLine result = Parse(GetParam().arguments);
  EXPECT_EQ(result.action, GetParam().action);
  EXPECT_EQ(result.exitStatus, GetParam().exitStatus);
}

constexpr CommandLineAction kUsage = CommandLineAction::kShowUsage;
constexpr CommandLineAction kVersion = CommandLineAction::kShowVersion;

INSTANTIATE_TEST_SUITE_P(
    Answers, EarlyExitTest,
    ::testing::Values(
        EarlyExitCase{{}, kUsage, -1}, EarlyExitCase{{"-h"}, kUsage, 0},
        EarlyExitCase{{"--help"}, kUsage, 0}, EarlyExitCase{{"-f", "a.rc", "-h"}, kUsage, 0},
        EarlyExitCase{{"-h", "--version"}, kUsage, 0}, EarlyExitCase{{"--version"}, kVersion, 0},
        EarlyExitCase{{"-f", "a.rc", "--version", "-h"}, kVersion, 0},
        // A single argument, whatever it is, is too short a command line.
        EarlyExitCase{{"-s"}, kUsage, 0}, EarlyExitCase{{"-v"}, kUsage, 0},
        EarlyExitCase{{"-f"}, kUsage, 0}, EarlyExitCase{{"app.rc"}, kUsage, 0},
        EarlyExitCase{{"--bogus"}, kUsage, 0},
        // A value option with nothing after it, after other arguments, is a mistake.
        EarlyExitCase{{"-v", "-f"}, kUsage, -1}, EarlyExitCase{{"-f", "a.rc", "-e"}, kUsage, -1},
        EarlyExitCase{{"-s", "--file"}, kUsage, -1},
        EarlyExitCase{{"-s", "--extension"}, kUsage, -1}));

struct SettingsCase {
  std::vector<const char*> arguments;
  std::string rcPath;
  std::string backupExtension;
  bool silent;
  bool verbose;
  friend void PrintTo(const SettingsCase& value, std::ostream* out) {
    PrintArguments(value.arguments, out);
  }
};

class SettingsTest : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(SettingsTest, FillsTheSettings) {
  const CommandLine result = Parse(GetParam().arguments);
  ASSERT_EQ(result.action, CommandLineAction::kRunUpdate);
  EXPECT_EQ(result.settings.rcPath, GetParam().rcPath);
  EXPECT_EQ(result.settings.backupExtension, GetParam().backupExtension);
  EXPECT_EQ(result.settings.silent, GetParam().silent);
  EXPECT_EQ(result.settings.verbose, GetParam().verbose);
}

INSTANTIATE_TEST_SUITE_P(
    Options, SettingsTest,
    ::testing::Values(
        SettingsCase{{"-f", "a.rc"}, "a.rc", "original", false, false},
        SettingsCase{{"--file", "a.rc", "-s", "-v"}, "a.rc", "original", true, true},
        SettingsCase{{"--silent", "--verbose", "-f", "a.rc"}, "a.rc", "original", true, true},
        SettingsCase{{"-e", "bak", "-f", "a.rc"}, "a.rc", "bak", false, false},
        SettingsCase{{"-f", "a.rc", "--extension", "old"}, "a.rc", "old", false, false},
        SettingsCase{{"-f", "a.rc", "-f", "b.rc"}, "b.rc", "original", false, false},
        // Values are taken verbatim, even when they look like options.
        SettingsCase{{"-f", "-h", "x"}, "-h", "original", false, false},
        SettingsCase{{"-f", "-s"}, "-s", "original", false, false},
        SettingsCase{{"-e", "--version", "-f", "a.rc"}, "a.rc", "--version", false, false},
        // A file named without -f names nothing; unknown and miscased options are ignored.
        SettingsCase{{"app.rc", "-v"}, "", "original", false, true},
        SettingsCase{{"app.rc", "-s"}, "", "original", true, false},
        SettingsCase{{"-H", "--FILE", "a.rc"}, "", "original", false, false},
        SettingsCase{{"-V", "-f", "a.rc"}, "a.rc", "original", false, false}));

}  // namespace
}  // namespace tablemend
