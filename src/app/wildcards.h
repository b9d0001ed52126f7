// Names with wildcards, as Windows users type them: cmd.exe and PowerShell hand "*.rc" to the
// program unexpanded, and it expands the pattern itself, where a Unix shell would have before it
// started.
#ifndef TABLEMEND_APP_WILDCARDS_H
#define TABLEMEND_APP_WILDCARDS_H

#include <string>
#include <string_view>
#include <vector>

namespace tablemend {

// True when the name matches the pattern, character by character as the file system compares
// names: "*" stands for any run of characters, "?" for exactly one.
bool MatchesWildcard(std::string_view name, std::string_view pattern);

// Each argument whose last component holds "*" or "?" becomes the files of its folder whose
// names match it, folders left out, in the order of their names; one that matches nothing stays
// as given, so that its run reports it missing. Other arguments stay as they are.
std::vector<std::string> ExpandWildcards(const std::vector<std::string>& arguments);

}  // namespace tablemend

#endif
