// Parses arbitrary argument vectors (NUL-separated in the input) and checks the outcome against
// what the arguments allow. The vector holds exactly argc pointers, with no terminating null, so
// a read past its end is caught.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "fuzz_check.h"

using namespace tablemend;

namespace {

bool IsAny(std::string_view argument, std::string_view first, std::string_view second) {
  return argument == first || argument == second;
}

// True when `value` stands right after one of the two option spellings somewhere.
bool FollowsOption(const std::vector<std::string>& words, const std::string& value,
                   std::string_view shortForm, std::string_view longForm) {
  for (std::size_t index = 2; index < words.size(); ++index) {
    if (words[index] == value && IsAny(words[index - 1], shortForm, longForm)) {
      return true;
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> words = {"Tablemend.exe"};
  std::string current;
  for (std::size_t index = 0; index < size && words.size() < 64; ++index) {
    if (data[index] == 0) {
      words.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(data[index]);
    }
  }
  if (!current.empty()) {
    words.push_back(current);
  }
  const int count = static_cast<int>(words.size());
  std::unique_ptr<const char*[]> arguments(new const char*[words.size()]);
  for (std::size_t index = 0; index < words.size(); ++index) {
    arguments[index] = words[index].c_str();
  }

  const CommandLine result = ParseCommandLine(count, arguments.get());
  FUZZ_CHECK(result.exitStatus == 0 || result.exitStatus == -1);
  if (count < 2) {
    FUZZ_CHECK(result.action == CommandLineAction::kShowUsage && result.exitStatus == -1);
  }
  if (result.action == CommandLineAction::kShowUsage && result.exitStatus == -1 && count > 2) {
    FUZZ_CHECK(IsAny(words.back(), "-f", "--file") || IsAny(words.back(), "-e", "--extension"));
  }
  if (result.action == CommandLineAction::kRunUpdate) {
    const RunSettings& settings = result.settings;
    FUZZ_CHECK(count >= 3 && result.exitStatus == 0);
    FUZZ_CHECK(settings.rcPath.empty() || FollowsOption(words, settings.rcPath, "-f", "--file"));
    FUZZ_CHECK(settings.backupExtension == "original" ||
               FollowsOption(words, settings.backupExtension, "-e", "--extension"));
  }
  return 0;
}
