// The heart of the program: streams a resource script from its backup into the new rc file and
// gives every entry of a STRINGTABLE block whose string is empty a placeholder string instead.
// It works on code units of either width (bytes, or UTF-16 units) by the same rules.
#ifndef TABLEMEND_CONVERT_STRING_TABLE_CONVERTER_H
#define TABLEMEND_CONVERT_STRING_TABLE_CONVERTER_H

#include <functional>
#include <string_view>

#include "text/text_reader.h"
#include "text/text_writer.h"

namespace tablemend {

// One rewritten line: its number (the first chunk is 1), the chunk as read (with its line feed
// when it had one) and the line written instead, which ends in a line feed (an entry without a
// comma keeps its line's end: none on a last line that had none). The texts live only until the
// converter reads the next chunk.
template <typename Unit>
struct BasicChangeRecord {
  long long lineNumber = 0;
  std::basic_string_view<Unit> oldLine;
  std::basic_string_view<Unit> newLine;
};
using ChangeRecord = BasicChangeRecord<char>;

// Receives each change, in line order; may be empty.
template <typename Unit>
struct ChangeReportFor {
  using Type = std::function<void(const BasicChangeRecord<Unit>&)>;
};

// Reads the input to its end and writes every chunk to the output, unchanged or rewritten.
template <typename Unit>
void ConvertStringTables(BasicTextReader<Unit>& input, BasicTextWriter<Unit>& output,
                         const typename ChangeReportFor<Unit>::Type& reportChange);

}  // namespace tablemend

#endif
