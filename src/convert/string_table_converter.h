// The heart of the program: streams a resource script from its backup into the new rc file and
// gives every entry of a STRINGTABLE block whose string holds "" a placeholder string instead.
#ifndef TABLEMEND_CONVERT_STRING_TABLE_CONVERTER_H
#define TABLEMEND_CONVERT_STRING_TABLE_CONVERTER_H

#include <functional>
#include <string_view>

#include "app/run_settings.h"
#include "platform/text_stream.h"

namespace tablemend {

// One rewritten line: its number (the first chunk is 1), the chunk as read (with its line feed
// when it had one) and the line written instead (always ending in a line feed). The texts live
// only until the converter reads the next chunk.
struct ChangeRecord {
  long long lineNumber = 0;
  std::string_view oldLine;
  std::string_view newLine;
};

// Receives each change, in line order; may be empty.
using ChangeReport = std::function<void(const ChangeRecord&)>;

// Reads the input to its end and writes every chunk to the output, unchanged or rewritten. When
// `settings.verbose` is on, each change is also printed, whatever `silent` says.
void ConvertStringTables(TextReader& input, TextWriter& output, const RunSettings& settings,
                         const ChangeReport& reportChange);

}  // namespace tablemend

#endif
