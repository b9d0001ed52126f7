#include "app/named_files.h"

#include "app/folder_walk.h"
#include "app/wildcards.h"
#include "platform/platform.h"

namespace tablemend {

namespace {

void AddFolder(const std::string& folder, const CommandLine& commandLine,
               std::vector<NamedFile>& files) {
  const WalkRules rules{commandLine.settings, commandLine.excludes,
                        commandLine.fileAction == FileAction::kRestore};
  std::vector<std::string> found;
  std::vector<std::string> unlisted;
  WalkFolder(folder, rules, found, unlisted);
  for (std::string& path : found) {
    files.push_back({NamedKind::kFile, std::move(path)});
  }
  for (std::string& path : unlisted) {
    files.push_back({NamedKind::kUnlistedFolder, std::move(path)});
  }
  if (found.empty() && unlisted.empty()) {
    files.push_back({NamedKind::kEmptyFolder, folder});
  }
}

}  // namespace

std::vector<NamedFile> ResolveNames(const CommandLine& commandLine) {
  std::vector<NamedFile> files;
  if (commandLine.readsStandardInput) {
    files.push_back({NamedKind::kStandardInput, commandLine.settings.standardInputName});
  }
  // Windows shells hand wildcards over as typed; what they match are files, never folders.
  const std::vector<std::string> names = commandLine.style == CommandLineStyle::kWindows
                                             ? ExpandWildcards(commandLine.names)
                                             : commandLine.names;
  for (const std::string& name : names) {
    if (QueryPathKind(name) == PathKind::kDirectory) {
      AddFolder(name, commandLine, files);
    } else {
      files.push_back({NamedKind::kFile, name});
    }
  }
  return files;
}

}  // namespace tablemend
