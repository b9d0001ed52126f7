// What the names on a command line stand for: one place for every rule that turns a name into
// the files a call processes.
#ifndef TABLEMEND_APP_NAMED_FILES_H
#define TABLEMEND_APP_NAMED_FILES_H

#include <string>
#include <vector>

#include "app/command_line.h"

namespace tablemend {

enum class NamedKind {
  kFile,           // a file to process: named, matched by a wildcard, or found below a folder
  kStandardInput,  // "-": the script comes in on standard input, its new text goes out
  kEmptyFolder,    // a folder named that holds no script
  kUnlistedFolder  // a folder (named, or below one named) that could not be listed
};

struct NamedFile {
  NamedKind kind;
  std::string path;  // as typed, or as the walk or the wildcard found it
};

// In the order the names were given: "-" as standard input; in the Windows style, a name whose
// last component holds a wildcard as the files of its folder that match it (WildcardExpansion);
// a folder as the scripts below it (WalkFolder), or as a note that it holds none; any other name
// as the file it names, whether or not one is there.
std::vector<NamedFile> ResolveNames(const CommandLine& commandLine);

}  // namespace tablemend

#endif
