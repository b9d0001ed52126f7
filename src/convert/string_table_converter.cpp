#include "convert/string_table_converter.h"

#include <algorithm>
#include <string>

#include "convert/trim_text.h"
#include "text/unit_search.h"

namespace tablemend {

namespace {

// True when the units are the ASCII text, unit for unit.
template <typename Unit>
bool Matches(std::basic_string_view<Unit> units, std::string_view ascii) {
  return std::equal(units.begin(), units.end(), ascii.begin(), ascii.end());
}

// The fields of an entry line that a rewrite looks at. Fields are split at commas, a run of
// commas counting as one separator and commas at the very start being skipped.
template <typename Unit>
struct EntryFields {
  std::basic_string_view<Unit> first;   // as it stands, indentation and blanks before the comma
  std::basic_string_view<Unit> second;  // up to the next comma or the end of the line; or empty
};

// Only a chunk whose first unit that is not blank is the keyword's first letter can name a table,
// and most lines are told apart by that unit alone: inline, as it runs for every line.
template <typename Unit>
inline bool MayNameStringTable(std::basic_string_view<Unit> chunk) {
  const std::size_t first = FindFirstNonBlank(chunk);
  return first < chunk.size() && chunk[first] == 'S';
}

// True when the chunk's first word is the keyword. Words are separated by spaces alone: a tab
// belongs to the word, so "STRINGTABLE\tDISCARDABLE" is one word, and so is a leading "\t ".
template <typename Unit>
bool NamesStringTable(std::basic_string_view<Unit> chunk) {
  if (!MayNameStringTable(chunk)) {
    return false;
  }
  const std::size_t start = chunk.find_first_not_of(Unit{' '});
  const std::size_t stop = chunk.find(Unit{' '}, start);
  return Matches(TrimText(chunk.substr(start, stop - start)), "STRINGTABLE");
}

template <typename Unit>
bool OpensBlock(std::basic_string_view<Unit> chunk) {
  const std::basic_string_view<Unit> trimmed = TrimText(chunk);
  return Matches(trimmed, "{") || Matches(trimmed, "BEGIN");
}

// Most lines of a block are entries, told apart by their first letter.
template <typename Unit>
bool ClosesBlock(std::basic_string_view<Unit> chunk) {
  const std::size_t first = FindFirstNonBlank(chunk);
  if (first == chunk.size() || (chunk[first] != '}' && chunk[first] != 'E')) {
    return false;
  }
  const std::basic_string_view<Unit> trimmed = TrimText(chunk.substr(first));
  return Matches(trimmed, "}") || Matches(trimmed, "END");
}

// The first line without a UTF-8 byte-order mark, which is no part of its first word. (A UTF-16
// file's mark never reaches the text.)
template <typename Unit>
std::basic_string_view<Unit> WithoutByteOrderMark(std::basic_string_view<Unit> chunk) {
  if constexpr (sizeof(Unit) == 1) {
    if (chunk.substr(0, 3) == "\xEF\xBB\xBF") {
      chunk.remove_prefix(3);
    }
  }
  return chunk;
}

// Each search starts where the one before it stopped: one pass over the line.
template <typename Unit>
EntryFields<Unit> SplitEntry(std::basic_string_view<Unit> line) {
  const auto upTo = [&line](std::size_t position) { return std::min(position, line.size()); };
  const std::size_t firstStart = upTo(line.find_first_not_of(Unit{','}));
  const std::size_t firstEnd = upTo(line.find(Unit{','}, firstStart));
  const std::size_t secondStart = upTo(line.find_first_not_of(Unit{','}, firstEnd));
  const std::size_t secondEnd = upTo(line.find(Unit{','}, secondStart));
  return {line.substr(firstStart, firstEnd - firstStart),
          line.substr(secondStart, secondEnd - secondStart)};
}

// False for most lines that cannot hold an empty string, at the cost of one search: the first
// quotation mark of an entry whose string is empty begins that string (the first field holds
// none, and only commas, blanks and an L stand before the string), so a quotation mark follows.
template <typename Unit>
bool MayHoldEmptyString(std::basic_string_view<Unit> chunk) {
  const Unit* quote = FindUnit(chunk.data(), chunk.size(), Unit{'"'});
  return quote != nullptr && quote + 1 < chunk.data() + chunk.size() && quote[1] == '"';
}

// True when the string of the entry is empty: "" or L"" begins its second field, and no third
// quotation mark follows ("""" holds one quotation mark, and """x" starts with one). A quotation
// mark in the first field means the string began before the first comma, which then splits the
// string, not the entry.
template <typename Unit>
bool HoldsEmptyString(const EntryFields<Unit>& fields) {
  if (fields.first.find(Unit{'"'}) != std::string_view::npos) {
    return false;
  }
  std::basic_string_view<Unit> string = TrimText(fields.second);
  if (!string.empty() && string.front() == 'L') {
    string.remove_prefix(1);
  }
  return Matches(string.substr(0, 2), "\"\"") && !Matches(string.substr(2, 1), "\"");
}

// The placeholder line for an entry whose string is empty: its first field as it stands, then
// the placeholder.
template <typename Unit>
void BuildPlaceholderLine(std::basic_string_view<Unit> first, bool firstInBlock,
                          std::basic_string<Unit>& newLine) {
  const std::string_view placeholder = firstInBlock ? ", \"EI\"\n" : ", \"--\"\n";
  newLine.assign(first);
  newLine.append(placeholder.begin(), placeholder.end());
}

}  // namespace

template <typename Unit>
void ConvertStringTables(BasicTextReader<Unit>& input, BasicTextWriter<Unit>& output,
                         const typename ChangeReportFor<Unit>::Type& reportChange) {
  std::basic_string<Unit> newLine;
  std::basic_string_view<Unit> chunk;  // as stored: a final CR LF is two units
  if (!NextStoredChunk(input, output, chunk)) {
    return;
  }
  long long lineNumber = 1;
  bool previousNamesTable = NamesStringTable(WithoutByteOrderMark(chunk));
  bool inBlock = false;
  bool firstInBlock = false;
  bool startsLine = chunk.back() == '\n';  // the next chunk follows a line feed
  // Every chunk the loop does not replace goes to the output as it is.
  for (;;) {
    if (!inBlock && !previousNamesTable) {
      // Outside a block only a line whose first word is the keyword, and the line after it, can
      // change anything: the lines up to the keyword's pass by a test of their first letters.
      bool found = false;
      lineNumber += PassChunksWhile(
          input, output,
          [](std::basic_string_view<Unit> line) {
            return !MayNameStringTable(line) || !NamesStringTable(line);
          },
          chunk, found);
      if (!found) {
        return;
      }
      previousNamesTable = true;
      startsLine = chunk.back() == '\n';
    }
    if (!NextStoredChunk(input, output, chunk)) {
      return;
    }
    ++lineNumber;
    const bool chunkStartsLine = startsLine;
    startsLine = chunk.back() == '\n';
    if (!inBlock) {
      inBlock = firstInBlock = previousNamesTable && OpensBlock(chunk);
      previousNamesTable = NamesStringTable(chunk);
      continue;
    }
    if (ClosesBlock(chunk)) {
      inBlock = previousNamesTable = false;
      continue;
    }
    // A piece that continues a long line is text inside that line (a long string, most often),
    // never an entry.
    if (chunkStartsLine && MayHoldEmptyString(chunk)) {
      const EntryFields<Unit> fields = SplitEntry(chunk);
      if (HoldsEmptyString(fields)) {
        BuildPlaceholderLine(fields.first, firstInBlock, newLine);
        const std::basic_string_view<Unit> oldLine = ReplaceLastChunk(input, output, newLine);
        if (reportChange) {
          reportChange(BasicChangeRecord<Unit>{lineNumber, oldLine, newLine});
        }
      }
    }
    firstInBlock = false;
  }
}

template void ConvertStringTables(BasicTextReader<char>&, BasicTextWriter<char>&,
                                  const ChangeReportFor<char>::Type&);
template void ConvertStringTables(BasicTextReader<char16_t>&, BasicTextWriter<char16_t>&,
                                  const ChangeReportFor<char16_t>::Type&);

}  // namespace tablemend
