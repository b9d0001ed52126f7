#include "convert/string_table_converter.h"

#include <algorithm>
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
  std::string_view second;  // up to the next comma or the end of the line; empty when none
};

// True when the chunk's first word is the keyword. Words are separated by spaces alone: a tab
// belongs to the word, so "STRINGTABLE\tDISCARDABLE" is one word, and so is a leading "\t ".
bool NamesStringTable(std::string_view chunk) {
  const std::size_t start = chunk.find_first_not_of(' ');
  // Only a word starting with the keyword's first letter, or with a blank that trimming drops,
  // can be the keyword: most lines are told apart by their first letter.
  if (start == std::string_view::npos ||
      (chunk[start] != kTableKeyword[0] && !IsBlank(chunk[start]))) {
    return false;
  }
  const std::size_t stop = chunk.find(' ', start);
  return TrimText(chunk.substr(start, stop - start)) == kTableKeyword;
}

bool OpensBlock(std::string_view chunk) {
  const std::string_view trimmed = TrimText(chunk);
  return trimmed == "{" || trimmed == "BEGIN";
}

bool ClosesBlock(std::string_view chunk) {
  const std::string_view trimmed = TrimText(chunk);
  return trimmed == "}" || trimmed == "END";
}

// Each search starts where the one before it stopped: one pass over the line.
EntryFields SplitEntry(std::string_view line) {
  const auto upTo = [&line](std::size_t position) { return std::min(position, line.size()); };
  const std::size_t firstStart = upTo(line.find_first_not_of(','));
  const std::size_t firstEnd = upTo(line.find(',', firstStart));
  const std::size_t secondStart = upTo(line.find_first_not_of(',', firstEnd));
  const std::size_t secondEnd = upTo(line.find(',', secondStart));
  return {line.substr(firstStart, firstEnd - firstStart),
          line.substr(secondStart, secondEnd - secondStart)};
}

// True when the string of the entry is empty: "" or L"" begins its second field, and no third
// quotation mark follows ("""" holds one quotation mark, and """x" starts with one). A quotation
// mark in the first field means the string began before the first comma, which then splits the
// string, not the entry.
bool HoldsEmptyString(const EntryFields& fields) {
  if (fields.first.find('"') != std::string_view::npos) {
    return false;
  }
  std::string_view string = TrimText(fields.second);
  if (!string.empty() && string.front() == 'L') {
    string.remove_prefix(1);
  }
  return string.substr(0, 2) == "\"\"" && string.substr(2, 1) != "\"";
}

// The placeholder line for an entry whose string is empty: its first field as it stands, then
// the placeholder.
void BuildPlaceholderLine(std::string_view first, bool firstInBlock, std::string& newLine) {
  newLine.assign(first);
  newLine += firstInBlock ? ", \"EI\"\n" : ", \"--\"\n";
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
  bool startsLine = true;  // the chunk follows a line feed: a piece of a long line does not
  std::string newLine;
  std::string_view chunk;
  for (;;) {
    if (!inBlock && !previousNamesTable) {
      // Outside a block only a line whose first word is the keyword, and the line after it,
      // can change anything: the lines up to the keyword's pass through in bulk.
      bool foundKeyword = false;
      lineNumber += CopyLineChunksUntil(input, output, NamesStringTable, foundKeyword);
      if (!foundKeyword) {
        return;
      }
      previousNamesTable = true;
    }
    if (!ReadLineChunk(input, chunk)) {
      return;
    }
    ++lineNumber;
    const bool chunkStartsLine = startsLine;
    startsLine = chunk.back() == '\n';
    if (!inBlock) {
      // The chunk before this one named a table: this one may open its block.
      inBlock = firstInBlock = OpensBlock(chunk);
      previousNamesTable = NamesStringTable(chunk);
      WriteLineChunk(output, chunk);
      continue;
    }
    if (ClosesBlock(chunk)) {
      inBlock = previousNamesTable = false;
      WriteLineChunk(output, chunk);
      continue;
    }
    // Most entries hold no "" anywhere, and need no splitting to be copied. A piece that
    // continues a long line is text inside that line (a long string, most often), never an entry.
    const bool mayBeRewritten = chunkStartsLine && chunk.find("\"\"") != std::string_view::npos;
    const EntryFields fields = mayBeRewritten ? SplitEntry(chunk) : EntryFields();
    if (!HoldsEmptyString(fields)) {
      WriteLineChunk(output, chunk);
    } else {
      BuildPlaceholderLine(fields.first, firstInBlock, newLine);
      WriteLineChunk(output, newLine);
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
