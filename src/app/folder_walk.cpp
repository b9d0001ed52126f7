#include "app/folder_walk.h"

#include <algorithm>
#include <string_view>

#include "app/rc_file_checks.h"
#include "app/wildcards.h"
#include "platform/platform.h"

namespace tablemend {

namespace {

bool EndsInRcExtension(std::string_view name) {
  constexpr std::string_view kExtension = ".rc";
  if (name.size() < kExtension.size()) {
    return false;
  }
  const std::string_view ending = name.substr(name.size() - kExtension.size());
  return std::equal(ending.begin(), ending.end(), kExtension.begin(), [](char got, char want) {
    return got == want || (got >= 'A' && got <= 'Z' && got - 'A' + 'a' == want);
  });
}

// Hidden names, and those the user excluded.
bool IsPassedOver(std::string_view name, const WalkRules& rules) {
  return name.front() == '.' ||
         std::any_of(rules.excludes.begin(), rules.excludes.end(),
                     [name](const std::string& pattern) { return MatchesWildcard(name, pattern); });
}

// A script the walk takes: not the backup or the log of a script beside it, and for a restore,
// one with a backup to put back.
bool IsScript(const std::string& path, const WalkRules& rules) {
  std::string role;
  if (!EndsInRcExtension(path) || !FindOwningScript(path, rules.settings, role).empty()) {
    return false;
  }
  return !rules.withBackupOnly ||
         QueryPathKind(ComposeBackupPath(path, rules.settings)) == PathKind::kRegularFile;
}

// The folder as a prefix for the names in it: as typed, then a separator unless it ends in one.
std::string PrefixOf(const std::string& folder) {
  const bool ended = !folder.empty() && PathSeparators().find(folder.back()) != std::string::npos;
  return ended ? folder : folder + PreferredSeparator();
}

void WalkBelow(const std::string& prefix, const WalkRules& rules, std::vector<std::string>& found,
               std::vector<std::string>& unlisted) {
  std::vector<FolderEntry> entries;
  if (!ListFolderEntries(prefix, entries)) {
    unlisted.push_back(prefix);
    return;
  }
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& first, const FolderEntry& second) {
              return ListsBefore(first.name, second.name);
            });
  for (const FolderEntry& entry : entries) {
    if (IsPassedOver(entry.name, rules)) {
      continue;
    }
    const std::string path = prefix + entry.name;
    if (entry.kind == EntryKind::kFolder) {
      WalkBelow(path + PreferredSeparator(), rules, found, unlisted);
    } else if (entry.kind == EntryKind::kFile && IsScript(path, rules)) {
      found.push_back(path);
    }
  }
}

}  // namespace

void WalkFolder(const std::string& folder, const WalkRules& rules, std::vector<std::string>& found,
                std::vector<std::string>& unlisted) {
  WalkBelow(PrefixOf(folder), rules, found, unlisted);
}

}  // namespace tablemend
