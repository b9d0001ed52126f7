#include "app/run_diff.h"

#include <algorithm>
#include <string>

#include "app/conversion.h"
#include "app/failure_report.h"
#include "app/rc_file_checks.h"
#include "diff/unified_diff.h"
#include "platform/console.h"
#include "platform/platform.h"
#include "unicode/unicode.h"

namespace tablemend {

namespace {

// The whole file as stored; false when it cannot be read.
bool ReadStoredText(const std::string& path, std::string& text) {
  FileHandle file;
  if (!OpenForReading(path, file)) {
    return false;
  }
  char buffer[1 << 16];
  for (;;) {
    const std::ptrdiff_t count = ReadBytes(file, buffer, sizeof buffer);
    if (count <= 0) {
      return count == 0 && CloseFile(file);
    }
    text.append(buffer, static_cast<std::size_t>(count));
  }
}

// UTF-16 text as UTF-8, its byte-order mark left out: what the lines say, for reading.
std::string ShowUtf16(const std::string& stored, const TextFormat& format) {
  const bool bigEndian = format.encoding == TextEncoding::kUtf16BigEndian;
  std::u16string units;
  for (std::size_t at = format.byteOrderMark ? 2 : 0; at + 1 < stored.size(); at += 2) {
    const auto first = static_cast<unsigned char>(stored[at]);
    const auto second = static_cast<unsigned char>(stored[at + 1]);
    units += static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
  }
  return EncodeUtf8(units, LoneSurrogates::kReplace);
}

// Git's names separate folders with slashes, whatever the platform.
// and name no folder "." ("tablemend --diff ." finds "./App/App.rc", which git apply refuses).
std::string PatchName(const std::string& path) {
  std::string name = WithSlashes(path);
  for (std::size_t dot = name.find("/./"); dot != std::string::npos; dot = name.find("/./")) {
    name.erase(dot, 2);
  }
  while (name.rfind("./", 0) == 0) {
    name.erase(0, 2);
  }
  return name;
}

// The lines go out as they are, CR LF included, so that the patch gives a run's bytes.
void PrintDiff(const std::string& rcPath, const TextFormat& format, const std::string& diff) {
  UseBinaryStandardOutput();
  if (format.encoding == TextEncoding::kBytes) {
    PrintText(diff);
    return;
  }
  PrintUtf8Text(rcPath + " is UTF-16 text, shown as UTF-8: this diff does not apply to it.\n");
  PrintUtf8Text(diff);
}

}  // namespace

int RunDiff(const std::string& rcPath, const RunSettings& settings) {
  if (CheckRcFile(rcPath, settings, FileAction::kDiff) != kSuccess) {
    return kFailure;
  }
  // The bytes compared are the bytes converted, and their format is theirs: the file is read once.
  std::string stored;
  if (!ReadStoredText(rcPath, stored)) {
    return ReportUnreadable(settings, rcPath);
  }
  return RunDiffOfText(rcPath, stored, settings);
}

int RunDiffOfText(const std::string& name, const std::string& stored, const RunSettings& settings) {
  TextFormat format;
  if (JudgeStoredFormat(name, stored, settings, format) != kSuccess) {
    return kFailure;
  }
  std::string after;
  const ConversionResult result = ConvertStoredText(stored, format, settings.lineEnds, after,
                                                    [](const ChangeRecord&, LinePrinter) {});
  if (result.end == ConversionEnd::kTextAfterEndMark) {
    return ReportFailure(settings, DescribeTextAfterEndMark(name, result.endMarkLine));
  }
  const bool bytes = format.encoding == TextEncoding::kBytes;
  const std::string diff =
      MakeUnifiedDiff(bytes ? stored : ShowUtf16(stored, format),
                      bytes ? after : ShowUtf16(after, format), PatchName(name));
  if (diff.empty()) {
    return kSuccess;
  }
  if (!settings.silent) {
    PrintDiff(name, format, diff);
  }
  return kWouldChange;
}

}  // namespace tablemend
