#include "app/temporary_file.h"

#include <chrono>
#include <map>
#include <random>
#include <set>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace tablemend {

namespace {

constexpr std::string_view kMarker = ".tablemend-";
constexpr std::size_t kSuffixLength = 6;
constexpr std::string_view kSuffixCharacters = "abcdefghijklmnopqrstuvwxyz0123456789";

// The script's name within its folder, when `name` is one of its temporary files' names.
std::string_view ScriptNameOf(std::string_view name) {
  const std::size_t marker = name.size() - std::min(name.size(), kSuffixLength + kMarker.size());
  if (name.size() < kSuffixLength + kMarker.size() + 2 || name.front() != '.' ||
      name.substr(marker, kMarker.size()) != kMarker ||
      name.find_first_not_of(kSuffixCharacters, marker + kMarker.size()) != std::string::npos) {
    return std::string_view();
  }
  return name.substr(1, marker - 1);
}

}  // namespace

std::string ComposeTemporaryPath(const std::string& rcPath) {
  // Seeded from the clock as well: some systems' random devices are not random.
  static std::mt19937 random(
      std::random_device{}() ^
      static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
  const std::size_t name = FindLastComponent(rcPath);
  std::string path = rcPath.substr(0, name) + "." + rcPath.substr(name) + std::string(kMarker);
  for (std::size_t count = 0; count < kSuffixLength; ++count) {
    path += kSuffixCharacters[random() % kSuffixCharacters.size()];
  }
  return path;
}

std::string FindScriptOfTemporaryFile(const std::string& path) {
  const std::size_t name = FindLastComponent(path);
  const std::string_view script = ScriptNameOf(std::string_view(path).substr(name));
  return script.empty() ? std::string() : path.substr(0, name) + std::string(script);
}

void RemoveLeftoverTemporaryFiles(const std::vector<std::string>& rcPaths) {
  // The scripts' names by folder, as typed.
  std::map<std::string, std::set<std::string, std::less<>>> scripts;
  for (const std::string& rcPath : rcPaths) {
    const std::size_t name = FindLastComponent(rcPath);
    scripts[rcPath.substr(0, name)].insert(rcPath.substr(name));
  }
  for (const auto& [folder, names] : scripts) {
    std::vector<std::string> found;
    ListFolderFiles(folder, found);
    for (const std::string& file : found) {
      const std::string_view script = ScriptNameOf(file);
      if (!script.empty() && names.count(script) != 0) {
        RemoveFile(folder + file, DeniedMeans::kNoPermission);
      }
    }
  }
}

}  // namespace tablemend
