// The file a run writes the new text to, beside the script, before it replaces the script in one
// step: "." and the script's name, ".tablemend-" and six letters or digits, a name no script has.
#ifndef TABLEMEND_APP_TEMPORARY_FILE_H
#define TABLEMEND_APP_TEMPORARY_FILE_H

#include <string>
#include <vector>

namespace tablemend {

// A new name for the script's temporary file, in its folder.
std::string ComposeTemporaryPath(const std::string& rcPath);

// The script whose temporary file `path` names, or empty when it names none.
std::string FindScriptOfTemporaryFile(const std::string& path);

// Removes the temporary files that runs killed before their end left beside the scripts, each
// folder listed once, however many scripts it holds.
void RemoveLeftoverTemporaryFiles(const std::vector<std::string>& rcPaths);

}  // namespace tablemend

#endif
