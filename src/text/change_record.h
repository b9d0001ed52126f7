// One rewritten line, as the converter reports it and the run log, the console and --check show
// it. A record of text alone, so that what shows a change needs nothing of what makes one.
#ifndef TABLEMEND_TEXT_CHANGE_RECORD_H
#define TABLEMEND_TEXT_CHANGE_RECORD_H

#include <string_view>

namespace tablemend {

// Its number (the first chunk is 1), the chunk as read (with its line feed when it had one) and
// the line written instead, which ends in a line feed (an entry without a comma keeps its line's
// end: none on a last line that had none). The texts live only until the converter reads the
// next chunk.
template <typename Unit>
struct BasicChangeRecord {
  long long lineNumber = 0;
  std::basic_string_view<Unit> oldLine;
  std::basic_string_view<Unit> newLine;
};
using ChangeRecord = BasicChangeRecord<char>;

}  // namespace tablemend

#endif
