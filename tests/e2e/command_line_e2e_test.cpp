// The command line as a user meets it: texts, exit statuses, and no file touched.
#include <string>
#include <vector>

#include "e2e/fixture.h"

namespace tablemend::e2e {
namespace {

const std::string kUsage =
    "usage: Tablemend.exe [options] [-f or --file] <filename>\n"
    "Options:\n"
    "  -h, --help         Print this message and exit\n"
    "  -f, --file         Process this file\n"
    "  -e, --extension    Use the following filename extension instead of the default\n"
    "  -s, --silent       Don't display messages, warnings, errors\n"
    "  -v, --verbose      Output as much data as possible\n"
    "  --version          Display version information\n"
    "\n"
    "This program was developed and designed by Ostrevane\n"
    "Please send bug reports to Email: bugs@tablemend.example\n";

const std::string kVersion = "Developed by Ostrevane in October 2005\nVersion: 1.1\n\n";

struct AnswerCase {
  std::string name;
  std::vector<std::string> arguments;
  const std::string* text;
  int exitStatus;
  friend void PrintTo(const AnswerCase& value, std::ostream* out) { *out << value.name; }
};

class CommandLineAnswers : public EndToEnd, public ::testing::WithParamInterface<AnswerCase> {};

// Whatever the answer, the rc file in the folder is left exactly as it was, with no backup or
// log beside it.
TEST_P(CommandLineAnswers, PrintTheTextAndTouchNothing) {
  WriteFile("a.rc", "STRINGTABLE\r\nBEGIN\r\nA, \"\"\r\nEND\r\n");
  const ProcessResult result = Run(GetParam().arguments);
  EXPECT_EQ(result.output, Console(*GetParam().text));
  EXPECT_EQ(result.exitStatus, GetParam().exitStatus);
  EXPECT_EQ(ReadFile("a.rc"), "STRINGTABLE\r\nBEGIN\r\nA, \"\"\r\nEND\r\n");
  EXPECT_FALSE(Exists("a.rc.original"));
  EXPECT_FALSE(Exists("a.rc.log"));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CommandLineAnswers,
    ::testing::Values(AnswerCase{"NoArguments", {}, &kUsage, 255},
                      AnswerCase{"Help", {"-h"}, &kUsage, 0},
                      AnswerCase{"LongHelpAfterAFile", {"-f", "a.rc", "--help"}, &kUsage, 0},
                      AnswerCase{"HelpBeforeVersion", {"-h", "--version"}, &kUsage, 0},
                      AnswerCase{"Version", {"--version"}, &kVersion, 0},
                      AnswerCase{"VersionBeforeHelp", {"-s", "--version", "-h"}, &kVersion, 0},
                      AnswerCase{"SingleSilent", {"-s"}, &kUsage, 0},
                      AnswerCase{"SingleFileOption", {"-f"}, &kUsage, 0},
                      AnswerCase{"SingleFileName", {"a.rc"}, &kUsage, 0},
                      AnswerCase{"SingleUnknown", {"--bogus"}, &kUsage, 0},
                      AnswerCase{"FileOptionWithoutValue", {"-v", "-f"}, &kUsage, 255},
                      AnswerCase{
                          "ExtensionWithoutValue", {"-f", "a.rc", "--extension"}, &kUsage, 255}),
    [](const ::testing::TestParamInfo<AnswerCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tablemend::e2e
