// The heart of the program: streams a resource script from a reader to a writer (a run's backup
// into the new rc file; the rc file itself into memory, for --check and --diff) and gives every
// entry of a STRINGTABLE block whose string is empty a placeholder string instead. It works on
// code units of either width (bytes, or UTF-16 units) by the same rules.
#ifndef TABLEMEND_CONVERT_STRING_TABLE_CONVERTER_H
#define TABLEMEND_CONVERT_STRING_TABLE_CONVERTER_H

#include <functional>
#include <string_view>

#include "text/change_record.h"
#include "text/text_reader.h"
#include "text/text_writer.h"

namespace tablemend {

// Receives each change, in line order; may be empty.
template <typename Unit>
struct ChangeReportFor {
  using Type = std::function<void(const BasicChangeRecord<Unit>&)>;
};

// Reads the input to its end and writes every chunk to the output, unchanged or rewritten.
// Returns the number of the line the input ended on: the last chunk's, or the next one when that
// chunk ended in a line feed (1 for no text at all), where an end-of-file mark stood, if any.
template <typename Unit>
long long ConvertStringTables(BasicTextReader<Unit>& input, BasicTextWriter<Unit>& output,
                              const typename ChangeReportFor<Unit>::Type& reportChange);

}  // namespace tablemend

#endif
