#include "e2e/fixture.h"

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include "support/text_rules_model.h"

namespace tablemend::e2e {

namespace {

RunnerConfig& MutableConfig() {
  static RunnerConfig config;
  return config;
}

bool TakeValue(std::string_view argument, std::string_view name, std::string& value) {
  if (argument.substr(0, name.size()) != name) {
    return false;
  }
  value = std::string(argument.substr(name.size()));
  return true;
}

}  // namespace

const RunnerConfig& Config() {
  return MutableConfig();
}

namespace {

const std::regex& TimeStampPattern() {
  static const std::regex pattern(
      "(Sun|Mon|Tue|Wed|Thu|Fri|Sat) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
      "(0[1-9]|[12][0-9]|3[01]) ([01][0-9]|2[0-3]):[0-5][0-9]:[0-6][0-9] [0-9]{4}");
  return pattern;
}

}  // namespace

std::string MaskTimeStamps(const std::string& log) {
  return std::regex_replace(log, TimeStampPattern(), "<time>");
}

int CountTimeStamps(const std::string& log) {
  return static_cast<int>(std::distance(
      std::sregex_iterator(log.begin(), log.end(), TimeStampPattern()), std::sregex_iterator()));
}

std::string WhyNoPrivilegeDrop() {
  if (Config().windowsProgram) {
    return "not tested here: an emulated Windows program cannot run as another user";
  }
  if (geteuid() != 0 || access("/usr/bin/setpriv", X_OK) != 0) {
    return "not tested here: dropping privileges needs root and /usr/bin/setpriv";
  }
  return std::string();
}

std::vector<std::string> UnprivilegedPrefix() {
  return {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
}

std::string ReadBytesOf(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void EndToEnd::SetUp() {
  ASSERT_FALSE(Config().program.empty() || Config().sourceDir.empty())
      << "run with --program=PATH --source-dir=PATH [--launcher=WORD]... [--crlf-console]";
  std::string pattern = (std::filesystem::temp_directory_path() / "tablemend-e2e-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  scratch_ = pattern;
}

void EndToEnd::TearDown() {
  std::error_code ignored;
  std::filesystem::permissions(scratch_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(scratch_, ignored);
}

std::string EndToEnd::PathOf(const std::string& name) const {
  return scratch_ + "/" + name;
}

void EndToEnd::WriteFile(const std::string& name, std::string_view bytes) const {
  std::ofstream file(PathOf(name), std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(file.good()) << name;
}

std::string EndToEnd::ReadFile(const std::string& name) const {
  return ReadBytesOf(PathOf(name));
}

bool EndToEnd::Exists(const std::string& name) const {
  std::error_code ignored;
  return std::filesystem::exists(std::filesystem::symlink_status(PathOf(name), ignored));
}

void EndToEnd::CopyExample(const std::string& exampleName, const std::string& name) const {
  const std::string bytes = ReadBytesOf(Config().sourceDir + "/examples/" + exampleName);
  ASSERT_FALSE(bytes.empty()) << exampleName;
  WriteFile(name, bytes);
}

std::string EndToEnd::Golden(const std::string& name) const {
  const std::string bytes = ReadBytesOf(Config().sourceDir + "/tests/golden/" + name);
  EXPECT_FALSE(bytes.empty()) << "missing golden file " << name;
  return bytes;
}

namespace {

// The words that start `program` with `arguments`: the prefix, then the program, then them.
std::vector<std::string> Command(std::vector<std::string> prefix, const std::string& program,
                                 const std::vector<std::string>& arguments) {
  prefix.push_back(program);
  prefix.insert(prefix.end(), arguments.begin(), arguments.end());
  return prefix;
}

std::vector<std::string> LauncherThen(const std::vector<std::string>& prefix) {
  std::vector<std::string> words = prefix;
  words.insert(words.end(), Config().launcher.begin(), Config().launcher.end());
  return words;
}

}  // namespace

ProcessResult EndToEnd::Run(const std::vector<std::string>& arguments) const {
  return RunWithPrefix({}, arguments);
}

ProcessResult EndToEnd::RunWithPrefix(const std::vector<std::string>& prefix,
                                      const std::vector<std::string>& arguments) const {
  return RunProcess(Command(LauncherThen(prefix), Config().program, arguments), scratch_);
}

ProcessResult EndToEnd::RunAndKillWhen(const std::vector<std::string>& arguments,
                                       const std::function<bool()>& killWhen) const {
  return RunProcess(Command(LauncherThen({}), Config().program, arguments), scratch_, killWhen);
}

ProcessResult EndToEnd::RunIn(const std::string& folder,
                              const std::vector<std::string>& arguments) const {
  return RunProcess(Command(LauncherThen({}), Config().program, arguments), PathOf(folder));
}

ProcessResult EndToEnd::RunReferenceIn(const std::string& folder,
                                       const std::vector<std::string>& arguments) const {
  return RunProcess(Command({}, Config().referenceProgram, arguments), PathOf(folder));
}

std::string EndToEnd::Console(std::string_view text) const {
  return Config().crlfConsole ? model::StoreText(text) : std::string(text);
}

}  // namespace tablemend::e2e

// Options, after GoogleTest has taken its own: --program=PATH, --source-dir=PATH (both needed
// to run a test, not to list them), --launcher=WORD (repeatable), --crlf-console, --windows (the
// program follows Windows path rules), --reference-program=PATH (a native build to compare with).
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  tablemend::e2e::RunnerConfig& config = tablemend::e2e::MutableConfig();
  for (int index = 1; index < argc; ++index) {
    const std::string_view argument = argv[index];
    std::string launcherWord;
    if (tablemend::e2e::TakeValue(argument, "--launcher=", launcherWord)) {
      config.launcher.push_back(launcherWord);
    } else if (argument == "--crlf-console") {
      config.crlfConsole = true;
    } else if (argument == "--windows") {
      config.windowsProgram = true;
    } else if (!tablemend::e2e::TakeValue(argument, "--program=", config.program) &&
               !tablemend::e2e::TakeValue(argument, "--source-dir=", config.sourceDir) &&
               !tablemend::e2e::TakeValue(argument,
                                          "--reference-program=", config.referenceProgram)) {
      std::fprintf(stderr, "unknown option %s\n", argv[index]);
      return 2;
    }
  }
  return RUN_ALL_TESTS();
}
