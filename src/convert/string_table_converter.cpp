#include "convert/string_table_converter.h"

#include <string>

#include "convert/trim_text.h"
#include "platform/console.h"

namespace tablemend {

namespace {

constexpr std::string_view kTableKeyword = "STRINGTABLE";

// The fields of an entry line that a rewrite looks at. Fields are split at commas, a run of
// commas counting as one separator and commas at the very start being skipped.
struct EntryFields {
  std::string_view first;   // as it stands, indentation and blanks before the comma included
  std::string_view second;  // up to the next comma or the end of the line
  bool hasSecond = false;
};

// True when the chunk's first word is the keyword. Words are separated by spaces alone: a tab
// belongs to the word, so "STRINGTABLE\tDISCARDABLE" is one word, and so is a leading "\t ".
bool NamesStringTable(std::string_view chunk) {
  const std::size_t start = chunk.find_first_not_of(' ');
  if (start == std::string_view::npos) {
    return false;
  }
  const std::size_t stop = chunk.find(' ', start);
  return TrimText(chunk.substr(start, stop - start)) == kTableKeyword;
}

bool OpensBlock(std::string_view trimmed) {
  return trimmed == "{" || trimmed == "BEGIN";
}

bool ClosesBlock(std::string_view trimmed) {
  return trimmed == "}" || trimmed == "END";
}

EntryFields SplitEntry(std::string_view line) {
  EntryFields fields;
  const std::size_t firstStart = line.find_first_not_of(',');
  if (firstStart == std::string_view::npos) {
    return fields;
  }
  const std::size_t firstEnd = line.find(',', firstStart);
  fields.first = line.substr(firstStart, firstEnd - firstStart);
  const std::size_t secondStart =
      firstEnd == std::string_view::npos ? firstEnd : line.find_first_not_of(',', firstEnd);
  if (secondStart == std::string_view::npos) {
    return fields;
  }
  fields.second = line.substr(secondStart, line.find(',', secondStart) - secondStart);
  fields.hasSecond = true;
  return fields;
}

// Builds the placeholder line for an entry whose string holds "", or returns false when the
// entry is copied as it is.
bool BuildPlaceholderLine(std::string_view line, bool firstInBlock, std::string& newLine) {
  const EntryFields fields = SplitEntry(line);
  if (!fields.hasSecond || TrimText(fields.second).find("\"\"") == std::string_view::npos) {
    return false;
  }
  newLine.assign(fields.first);
  newLine += firstInBlock ? ", \"EI\"\n" : ", \"--\"\n";
  return true;
}

void PrintChange(const ChangeRecord& change) {
  PrintText("Changed line number: " + std::to_string(change.lineNumber) + "\n");
  PrintText("\tFrom: [");
  PrintText(change.oldLine);
  PrintText("]\n\tTo: [");
  PrintText(change.newLine);
  PrintText("]\n");
}

}  // namespace

void ConvertStringTables(TextReader& input, TextWriter& output, const RunSettings& settings,
                         const ChangeReport& reportChange) {
  long long lineNumber = 0;
  bool previousNamesTable = false;
  bool inBlock = false;
  bool firstInBlock = false;
  std::string newLine;
  std::string_view chunk;
  while (ReadLineChunk(input, chunk)) {
    ++lineNumber;
    const std::string_view trimmed = TrimText(chunk);
    if (!inBlock) {
      inBlock = firstInBlock = previousNamesTable && OpensBlock(trimmed);
      previousNamesTable = NamesStringTable(chunk);
      WriteText(output, chunk);
      continue;
    }
    if (ClosesBlock(trimmed)) {
      inBlock = previousNamesTable = false;
      WriteText(output, chunk);
      continue;
    }
    if (!BuildPlaceholderLine(chunk, firstInBlock, newLine)) {
      WriteText(output, chunk);
    } else {
      WriteText(output, newLine);
      const ChangeRecord change{lineNumber, chunk, newLine};
      if (reportChange) {
        reportChange(change);
      }
      if (settings.verbose) {
        PrintChange(change);
      }
    }
    firstInBlock = false;
  }
}

}  // namespace tablemend
