// The conversion a run, a check and a diff share: a script read in its own format, every chunk
// passed through the converter, and each change handed to the caller.
#ifndef TABLEMEND_APP_CONVERSION_H
#define TABLEMEND_APP_CONVERSION_H

#include <functional>
#include <string>
#include <string_view>

#include "app/run_settings.h"
#include "convert/string_table_converter.h"
#include "platform/platform.h"
#include "text/text_format.h"

namespace tablemend {

// Prints a change's lines as they are: the bytes of an ANSI or UTF-8 script, or the lines of a
// UTF-16 script as UTF-8, whose characters a console shows.
using LinePrinter = void (*)(std::string_view);

// Receives each change, in line order; its texts live only for the call.
using ChangeSink = std::function<void(const ChangeRecord& change, LinePrinter print)>;

// Prints a change as -v shows it: its number, the line as read and the line written.
void PrintVerboseChange(const ChangeRecord& change, LinePrinter print);

enum class ConversionEnd {
  kComplete,
  kOutputNotOpened,
  kInputNotOpened,
  kInputNotRead,      // a read failed or the input ended inside a code unit: the output is cut
  kOutputNotWritten,  // a write, the flush or the close failed
  kTextAfterEndMark,  // a Ctrl-Z ended the input with text after it, which the output lacks
};

struct ConversionResult {
  ConversionEnd end = ConversionEnd::kComplete;
  long long endMarkLine = 0;  // with kTextAfterEndMark: the line the Ctrl-Z stands on
};

// The report of a Ctrl-Z with text after it, in the file at `path`: a line of its own.
std::string DescribeTextAfterEndMark(const std::string& path, long long line);

// Where a conversion reads and writes. The input is the file at the input path, or its stored
// bytes where the caller read them already. The output file is made new, with the input's
// permissions; with no output path the converted text goes to `outputText` when there is one, or
// nowhere: only its changes matter.
struct ConversionFiles {
  std::string inputPath;
  std::string outputPath;
  TextFormat format;
  const std::string* inputText = nullptr;  // the input's stored bytes, a byte-order mark first
  OpenedText* openedInput = nullptr;       // or the input as its format read left it
  std::string* outputText = nullptr;       // the stored bytes, a byte-order mark first if any
  // Where set, receives the output file still open, its bytes handed to the system but not yet
  // flushed to disk, for the caller to flush with others and close.
  FileHandle* keptOutput = nullptr;
  LineEnds lineEnds = LineEnds::kCrLf;
};

// Opens the output, then the input, converts and closes both. The output comes first so that a run
// that may write neither reports the rc file it cannot write, the first of its own steps.
ConversionResult ConvertFile(const ConversionFiles& files, const ChangeSink& sink);

// Converts a script read whole already (its stored bytes) into `converted`, as a run writes it.
ConversionResult ConvertStoredText(const std::string& stored, const TextFormat& format,
                                   LineEnds lineEnds, std::string& converted,
                                   const ChangeSink& sink);

}  // namespace tablemend

#endif
