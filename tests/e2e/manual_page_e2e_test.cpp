// The manual page and the program's own usage text must name the same options.
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "e2e/fixture.h"

namespace tablemend::e2e {
namespace {

// The options of the usage text: the words starting with a dash on its option lines.
std::set<std::string> UsageOptions(const std::string& usage) {
  std::set<std::string> options;
  std::istringstream lines(usage);
  std::string line;
  const std::regex option("(^|[ ,])(--?[a-z]+)");
  while (std::getline(lines, line)) {
    if (line.rfind("  -", 0) != 0) {
      continue;
    }
    const std::string names = line.substr(0, 21);
    for (std::sregex_iterator match(names.begin(), names.end(), option), end; match != end;
         ++match) {
      options.insert((*match)[2]);
    }
  }
  return options;
}

// The options the manual page describes: those on the tag line of each item of OPTIONS.
std::set<std::string> ManualOptions(const std::string& manual) {
  std::set<std::string> options;
  std::istringstream lines(manual);
  std::string line;
  bool inOptions = false;
  bool tagLine = false;
  const std::regex option("\\\\-(\\\\-)?([a-z]+)");
  while (std::getline(lines, line)) {
    if (line.rfind(".SH", 0) == 0) {
      inOptions = line == ".SH OPTIONS";
    } else if (inOptions && tagLine) {
      for (std::sregex_iterator match(line.begin(), line.end(), option), end; match != end;
           ++match) {
        options.insert(((*match)[1].matched ? "--" : "-") + (*match)[2].str());
      }
    }
    tagLine = inOptions && line == ".TP";
  }
  return options;
}

class ManualPage : public EndToEnd {};

TEST_F(ManualPage, DescribesExactlyTheOptionsOfTheUsageText) {
  const ProcessResult help = Run({"--help"});
  ASSERT_EQ(help.exitStatus, 0);
  const std::set<std::string> usage = UsageOptions(help.output);
  const std::set<std::string> expected = {"-h", "--help",      "-f",       "--file",
                                          "-e", "--extension", "-s",       "--silent",
                                          "-v", "--verbose",   "--version"};
  ASSERT_EQ(usage, expected) << "the usage text itself changed";
  EXPECT_EQ(ManualOptions(ReadBytesOf(Config().sourceDir + "/man/tablemend.1")), usage);
}

}  // namespace
}  // namespace tablemend::e2e
