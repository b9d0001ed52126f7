// The change between two texts as a unified diff, as `diff -u` writes one and as `git apply` and
// `patch` take it: the lines byte for byte, their line ends included.
#ifndef TABLEMEND_DIFF_UNIFIED_DIFF_H
#define TABLEMEND_DIFF_UNIFIED_DIFF_H

#include <string>
#include <string_view>

namespace tablemend {

// The diff that turns `before` into `after`, under the headers "--- a/NAME" and "+++ b/NAME",
// in hunks with three lines of context; empty when the texts are equal. A line is its bytes up
// to and including a line feed; a last line without one is marked "\ No newline at end of file".
std::string MakeUnifiedDiff(std::string_view before, std::string_view after, std::string_view name);

}  // namespace tablemend

#endif
