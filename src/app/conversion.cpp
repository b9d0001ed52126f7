#include "app/conversion.h"

#include "platform/console.h"
#include "platform/platform.h"
#include "text/text_reader.h"
#include "text/text_writer.h"
#include "unicode/unicode.h"

namespace tablemend {

namespace {

void HandOnChange(const ChangeSink& sink, const ChangeRecord& change) {
  sink(change, PrintText);
}

// A UTF-16 line is shown as UTF-8, with U+FFFD for an unpaired surrogate.
void HandOnChange(const ChangeSink& sink, const BasicChangeRecord<char16_t>& change) {
  const std::string oldLine = EncodeUtf8(change.oldLine, LoneSurrogates::kReplace);
  const std::string newLine = EncodeUtf8(change.newLine, LoneSurrogates::kReplace);
  sink(ChangeRecord{change.lineNumber, oldLine, newLine}, PrintUtf8Text);
}

template <typename Unit>
bool OpenOutput(const ConversionFiles& files, BasicTextWriter<Unit>& output) {
  if (files.outputText != nullptr) {
    AttachTextWriter(*files.outputText, files.format, output);
    return true;
  }
  if (files.outputPath.empty()) {
    AttachTextDiscarder(files.format, output);
    return true;
  }
  return CreateTextWriterLike(files.outputPath, files.inputPath, files.format, output);
}

template <typename Unit>
ConversionResult ConvertUnits(const ConversionFiles& files, const ChangeSink& sink) {
  BasicTextWriter<Unit> output;
  if (!OpenOutput(files, output)) {
    return {ConversionEnd::kOutputNotOpened};
  }
  output.keepsLineEnds = files.lineEnds == LineEnds::kKeep;
  output.startsFlushAsItWrites = files.keptOutput != nullptr;
  BasicTextReader<Unit> input;
  if (files.inputText != nullptr) {
    AttachTextReader(*files.inputText, files.format, input);
  } else if (files.openedInput != nullptr && IsOpen(files.openedInput->file)) {
    AdoptTextReader(*files.openedInput, files.format, input);
  } else if (!OpenTextReader(files.inputPath, files.format, input)) {
    return {ConversionEnd::kInputNotOpened};
  }
  const long long endLine = ConvertStringTables<Unit>(
      input, output,
      [&sink](const BasicChangeRecord<Unit>& change) { HandOnChange(sink, change); });
  const bool written = files.keptOutput != nullptr
                           ? ReleaseTextWriterFile(output, *files.keptOutput)
                           : CloseTextWriter(output);
  if (!CloseTextReader(input)) {
    return {ConversionEnd::kInputNotRead};
  }
  if (input.textAfterEndMark) {
    return {ConversionEnd::kTextAfterEndMark, endLine};
  }
  return {written ? ConversionEnd::kComplete : ConversionEnd::kOutputNotWritten};
}

}  // namespace

void PrintVerboseChange(const ChangeRecord& change, LinePrinter print) {
  print("Changed line number: " + std::to_string(change.lineNumber) + "\n");
  print("\tFrom: [");
  print(change.oldLine);
  print("]\n\tTo: [");
  print(change.newLine);
  print("]\n");
}

ConversionResult ConvertStoredText(const std::string& stored, const TextFormat& format,
                                   LineEnds lineEnds, std::string& converted,
                                   const ChangeSink& sink) {
  ConversionFiles files{"", "", format};
  files.inputText = &stored;
  files.outputText = &converted;
  files.lineEnds = lineEnds;
  return ConvertFile(files, sink);
}

std::string DescribeTextAfterEndMark(const std::string& path, long long line) {
  return path + " holds text after an end-of-file mark (Ctrl-Z) on line " + std::to_string(line) +
         "\n";
}

ConversionResult ConvertFile(const ConversionFiles& files, const ChangeSink& sink) {
  if (files.format.encoding == TextEncoding::kBytes) {
    return ConvertUnits<char>(files, sink);
  }
  return ConvertUnits<char16_t>(files, sink);
}

}  // namespace tablemend
