#include "convert/string_table_converter.h"

#include <algorithm>
#include <string>

#include "convert/trim_text.h"
#include "text/text_pass_through.h"
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
bool IsOpener(std::basic_string_view<Unit> word) {
  return Matches(word, "{") || Matches(word, "BEGIN");
}

template <typename Unit>
bool OpensBlock(std::basic_string_view<Unit> chunk) {
  return IsOpener(TrimText(chunk));
}

// True when the units begin with the ASCII text.
template <typename Unit>
bool StartsWith(std::basic_string_view<Unit> units, std::string_view ascii) {
  return units.size() >= ascii.size() &&
         Matches(std::basic_string_view<Unit>(units.data(), ascii.size()), ascii);
}

// The text up to its first blank.
template <typename Unit>
std::basic_string_view<Unit> FirstWordOf(std::basic_string_view<Unit> text) {
  std::size_t end = 0;
  while (end < text.size() && !IsBlank(text[end])) {
    ++end;
  }
  return text.substr(0, end);
}

// The keyword's line opens the block itself when its last word is the opener ("STRINGTABLE
// BEGIN", "STRINGTABLE DISCARDABLE {"), a "//" comment after it allowed. A table written on one
// line goes on after its opener: its last word is another, and it is left as it is. One pass over
// what follows the keyword, which is short, as this runs for every keyword's line.
template <typename Unit>
bool EndsInOpener(std::basic_string_view<Unit> keywordLine) {
  constexpr std::size_t kKeywordLength = 11;  // the trimmed first word is "STRINGTABLE"
  std::size_t at = FindFirstNonBlank(keywordLine) + kKeywordLength;
  std::size_t wordStart = at;  // the last word so far: none yet
  std::size_t wordEnd = at;
  for (; at < keywordLine.size(); ++at) {
    if (IsBlank(keywordLine[at])) {
      continue;
    }
    if (keywordLine[at] == '/' && at + 1 < keywordLine.size() && keywordLine[at + 1] == '/') {
      break;
    }
    if (IsBlank(keywordLine[at - 1])) {
      wordStart = at;
    }
    wordEnd = at + 1;
  }
  return IsOpener(keywordLine.substr(wordStart, wordEnd - wordStart));
}

// What resource compilers take between the keyword's line and the opener: blank lines, comment
// lines, preprocessor lines and the table's options (one table per language, say).
template <typename Unit>
bool MayStandBeforeOpener(std::basic_string_view<Unit> chunk) {
  const std::basic_string_view<Unit> line = TrimText(chunk);
  if (line.empty() || line.front() == '#' || StartsWith(line, "//")) {
    return true;
  }
  if (StartsWith(line, "/*")) {
    // One comment, closed at the line's end: its first "*/" is the line's last two units.
    const Unit closer[] = {'*', '/'};
    return line.find(closer, 2, 2) == line.size() - 2;
  }
  const std::basic_string_view<Unit> word = FirstWordOf(line);
  return Matches(word, "LANGUAGE") || Matches(word, "CHARACTERISTICS") || Matches(word, "VERSION");
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

// Where the first comma at or after `from` stands, or the line's size: found several units at a
// time, as the ID before it is most of an entry.
template <typename Unit>
std::size_t FindComma(std::basic_string_view<Unit> line, std::size_t from) {
  const Unit* comma = FindUnit(line.data() + from, line.size() - from, Unit{','});
  return comma != nullptr ? static_cast<std::size_t>(comma - line.data()) : line.size();
}

// Each search starts where the one before it stopped: one pass over the line.
template <typename Unit>
EntryFields<Unit> SplitEntry(std::basic_string_view<Unit> line) {
  const auto upTo = [&line](std::size_t position) { return std::min(position, line.size()); };
  const std::size_t firstStart = upTo(line.find_first_not_of(Unit{','}));
  const std::size_t firstEnd = FindComma(line, firstStart);
  const std::size_t secondStart = upTo(line.find_first_not_of(Unit{','}, firstEnd));
  const std::size_t secondEnd = FindComma(line, secondStart);
  return {line.substr(firstStart, firstEnd - firstStart),
          line.substr(secondStart, secondEnd - secondStart)};
}

// The chunk's first quotation mark, or null. Only a line whose first quotation mark opens an
// empty string can change: in an entry with a comma the first field holds none, and only
// commas, blanks and an L stand before the string; in one without, the ID holds none.
template <typename Unit>
const Unit* FindFirstQuote(std::basic_string_view<Unit> chunk) {
  return FindUnit(chunk.data(), chunk.size(), Unit{'"'});
}

// True when the second field of an entry, its string, is empty: "" or L"" begins it, and no
// third quotation mark follows ("""" holds one quotation mark, and """x" starts with one).
template <typename Unit>
bool HoldsEmptyString(std::basic_string_view<Unit> second) {
  std::basic_string_view<Unit> string = TrimText(second);
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

// Where an entry starts, which decides its placeholder: "EI" on the block's first line.
enum class EntryStart {
  kNone,  // no entry to fill: a blank line, an entry with its string, a piece of a long line
  kFirstLine,
  kLaterLine,
};

// A line of the block that holds an ID alone, as Visual Studio wraps an entry with a long
// ID, its string on the next line: something not blank, no quotation mark (the caller has
// looked) and no comma but one at its end.
template <typename Unit>
bool HoldsIdAlone(std::basic_string_view<Unit> line) {
  std::basic_string_view<Unit> id = TrimText(line);
  if (!id.empty() && id.back() == ',') {
    id.remove_suffix(1);
  }
  return !id.empty() && id.find(Unit{','}) == std::basic_string_view<Unit>::npos;
}

// An entry ends after its string: blanks to the line's end, perhaps a comment.
template <typename Unit>
bool EndsEntry(std::basic_string_view<Unit> rest) {
  rest.remove_prefix(FindFirstNonBlank(rest));
  const std::basic_string_view<Unit> opening = rest.substr(0, 2);
  return rest.empty() || Matches(opening, "//") || Matches(opening, "/*");
}

// Where the entry without a comma starts whose first quotation mark (at `quote`, followed by
// another) opens an empty string, or kNone when the line holds no such entry. A third quotation
// mark or any other text after the string ends no entry. The ID stands on the same line, or
// alone on the line before (`idLineBefore`) when only blanks stand before the string, or before
// an L that makes it wide.
template <typename Unit>
EntryStart FindEntryWithoutComma(std::basic_string_view<Unit> chunk, std::size_t quote,
                                 bool firstInBlock, EntryStart idLineBefore) {
  if (!EndsEntry(chunk.substr(quote + 2))) {
    return EntryStart::kNone;
  }
  std::basic_string_view<Unit> id = chunk.substr(0, quote);
  // An L right before the string makes it wide; after other text it would belong to the ID,
  // which is not blank either way.
  if (!id.empty() && id.back() == 'L') {
    id.remove_suffix(1);
  }
  if (FindFirstNonBlank(id) == id.size()) {
    return idLineBefore;
  }
  if (id.find(Unit{','}) != std::basic_string_view<Unit>::npos) {
    return EntryStart::kNone;
  }
  return firstInBlock ? EntryStart::kFirstLine : EntryStart::kLaterLine;
}

// The line as read with the placeholder inside its empty string; everything else, the line's
// end included, stays as it was.
template <typename Unit>
void BuildFilledStringLine(std::basic_string_view<Unit> chunk, std::size_t quote, EntryStart start,
                           std::basic_string<Unit>& newLine) {
  const std::string_view placeholder = start == EntryStart::kFirstLine ? "EI" : "--";
  newLine.assign(chunk.substr(0, quote + 1));
  newLine.append(placeholder.begin(), placeholder.end());
  std::basic_string_view<Unit> rest = chunk.substr(quote + 1);
  const bool endsInCrLf = rest.size() >= 2 && Matches(rest.substr(rest.size() - 2), "\r\n");
  if (endsInCrLf) {
    rest.remove_suffix(2);  // read as one line feed
  }
  newLine.append(rest);
  if (endsInCrLf) {
    newLine.push_back('\n');
  }
}

// The comma rule: a line whose second field, its string, is empty becomes its first field and
// the placeholder. A quotation mark in the first field means that the string began before the
// first comma, which then splits the string, not the entry. False when the rule does not apply.
template <typename Unit>
bool FillEntryWithComma(std::basic_string_view<Unit> chunk, std::size_t quote, bool firstInBlock,
                        std::basic_string<Unit>& newLine) {
  const EntryFields<Unit> fields = SplitEntry(chunk);
  const bool firstHoldsQuote = chunk.data() + quote < fields.first.data() + fields.first.size();
  if (firstHoldsQuote || !HoldsEmptyString(fields.second)) {
    return false;
  }
  BuildPlaceholderLine(fields.first, firstInBlock, newLine);
  return true;
}

// The rule without a comma, as Visual Studio writes entries: the placeholder goes inside the
// empty string, whose ID stands before it or alone on the line before. False when the rule does
// not apply.
template <typename Unit>
bool FillEntryWithoutComma(std::basic_string_view<Unit> chunk, std::size_t quote, bool firstInBlock,
                           EntryStart idLineBefore, std::basic_string<Unit>& newLine) {
  const EntryStart start = FindEntryWithoutComma(chunk, quote, firstInBlock, idLineBefore);
  if (start == EntryStart::kNone) {
    return false;
  }
  BuildFilledStringLine(chunk, quote, start, newLine);
  return true;
}

// Where the converter stands in the script.
enum class BlockState {
  kStart,          // before the first line, whose byte-order mark is no part of its first word
  kOutside,        // outside every block: only a line whose first word is the keyword counts
  kSeekingOpener,  // after the keyword's line: the opener may come after options and comments
  kFirstLine,      // inside a block, on its first line after the opener
  kLaterLine,      // inside a block, after its first line
};

// A conversion under way: the text passing through, where it stands, and where changes go.
template <typename Unit>
struct Conversion {
  BasicTextPassThrough<Unit> text;
  const typename ChangeReportFor<Unit>::Type& reportChange;
  long long lineNumber = 0;  // of the current chunk
  BlockState state = BlockState::kStart;
  // The entry whose ID stands alone on the block's line before this one, if any.
  EntryStart idAbove = EntryStart::kNone;
  std::basic_string<Unit> newLine;

  Conversion(BasicTextReader<Unit>& input, BasicTextWriter<Unit>& output,
             const typename ChangeReportFor<Unit>::Type& report)
      : text(input, output), reportChange(report) {}
};

// Where the ID on this line, standing alone, would start an entry.
template <typename Unit>
EntryStart EntryOfThisLine(const Conversion<Unit>& conversion) {
  return conversion.state == BlockState::kFirstLine ? EntryStart::kFirstLine
                                                    : EntryStart::kLaterLine;
}

// Most lines of a script are lines of blocks, and what each takes is many small steps over views:
// compiled as one piece, whatever else the file holds. (Left to itself, the compiler stops
// inlining them there once they have enough callers elsewhere.)
#if defined(__GNUC__)
#define TABLEMEND_COMPILED_AS_ONE __attribute__((flatten))
#else
#define TABLEMEND_COMPILED_AS_ONE
#endif

// Rewrites a line inside a block when it is an entry whose string is empty, and notes whether it
// holds an ID alone, for the line after it. A piece that continues a long line is text inside
// that line (a long string, most often), never an entry, nor an entry's ID.
template <typename Unit>
TABLEMEND_COMPILED_AS_ONE void ConvertEntryLine(Conversion<Unit>& conversion,
                                                std::basic_string_view<Unit> chunk) {
  const EntryStart idAbove = conversion.idAbove;
  conversion.idAbove = EntryStart::kNone;
  if (!ChunkStartsLine(conversion.text)) {
    return;
  }
  const Unit* quote = FindFirstQuote(chunk);
  if (quote == nullptr) {
    // The first piece of a line too long for one chunk may look like an ID alone, harmlessly:
    // the piece after it is never an entry.
    if (HoldsIdAlone(chunk)) {
      conversion.idAbove = EntryOfThisLine(conversion);
    }
    return;
  }
  const bool firstInBlock = conversion.state == BlockState::kFirstLine;
  const std::size_t at = static_cast<std::size_t>(quote - chunk.data());
  std::basic_string<Unit>& newLine = conversion.newLine;
  const bool opensEmptyString = at + 1 < chunk.size() && quote[1] == '"';
  if (opensEmptyString && (FillEntryWithComma(chunk, at, firstInBlock, newLine) ||
                           FillEntryWithoutComma(chunk, at, firstInBlock, idAbove, newLine))) {
    const std::basic_string_view<Unit> oldLine = ReplaceChunk(conversion.text, newLine);
    if (conversion.reportChange) {
      conversion.reportChange(BasicChangeRecord<Unit>{conversion.lineNumber, oldLine, newLine});
    }
  }
}

// The state after a line whose first word is the keyword.
template <typename Unit>
BlockState StateAfterKeywordLine(std::basic_string_view<Unit> chunk) {
  return EndsInOpener(chunk) ? BlockState::kFirstLine : BlockState::kSeekingOpener;
}

// Takes the next chunk; false at the end of the input.
template <typename Unit>
bool TakeNextChunk(Conversion<Unit>& conversion, std::basic_string_view<Unit>& chunk) {
  if (!NextChunk(conversion.text, chunk)) {
    return false;
  }
  ++conversion.lineNumber;
  return true;
}

// The first line, whose byte-order mark is no part of its first word. False at the end of the
// input.
template <typename Unit>
bool ConvertFirstLine(Conversion<Unit>& conversion) {
  std::basic_string_view<Unit> chunk;
  if (!TakeNextChunk(conversion, chunk)) {
    return false;
  }
  chunk = WithoutByteOrderMark(chunk);
  conversion.state = NamesStringTable(chunk) ? StateAfterKeywordLine(chunk) : BlockState::kOutside;
  return true;
}

// A line after the keyword's line and before the opener: a second keyword's line starts the
// search again, and any line but those allowed before the opener ends it. False at the end of
// the input.
template <typename Unit>
bool SeekOpener(Conversion<Unit>& conversion) {
  std::basic_string_view<Unit> chunk;
  if (!TakeNextChunk(conversion, chunk)) {
    return false;
  }
  if (OpensBlock(chunk)) {
    conversion.state = BlockState::kFirstLine;
  } else if (NamesStringTable(chunk)) {
    conversion.state = StateAfterKeywordLine(chunk);
  } else if (!MayStandBeforeOpener(chunk)) {
    conversion.state = BlockState::kOutside;
  }
  return true;
}

// Outside a block only a line whose first word is the keyword can change anything: the lines up
// to it pass by a test of their first letters. False when the input ends first.
template <typename Unit>
bool PassToKeywordLine(Conversion<Unit>& conversion) {
  std::basic_string_view<Unit> chunk;
  bool found = false;
  conversion.lineNumber += PassChunksWhile(
      conversion.text,
      [](std::basic_string_view<Unit> line) {
        return !MayNameStringTable(line) || !NamesStringTable(line);
      },
      chunk, found);
  if (found) {
    conversion.state = StateAfterKeywordLine(chunk);
  }
  return found;
}

// A line of a block, rewritten when it is an entry whose string is empty, or its end. False at
// the end of the input.
template <typename Unit>
bool ConvertBlockLine(Conversion<Unit>& conversion) {
  std::basic_string_view<Unit> chunk;
  if (!TakeNextChunk(conversion, chunk)) {
    return false;
  }
  if (ClosesBlock(chunk)) {
    conversion.state = BlockState::kOutside;
    conversion.idAbove = EntryStart::kNone;
    return true;
  }
  ConvertEntryLine(conversion, chunk);
  conversion.state = BlockState::kLaterLine;
  return true;
}

// Moves the state on by the next chunk, or by the chunks up to the next keyword's line; false
// at the end of the input.
template <typename Unit>
bool ConvertNext(Conversion<Unit>& conversion) {
  switch (conversion.state) {
    case BlockState::kStart:
      return ConvertFirstLine(conversion);
    case BlockState::kOutside:
      return PassToKeywordLine(conversion);
    case BlockState::kSeekingOpener:
      return SeekOpener(conversion);
    case BlockState::kFirstLine:
    case BlockState::kLaterLine:
      return ConvertBlockLine(conversion);
  }
  return false;
}

}  // namespace

template <typename Unit>
long long ConvertStringTables(BasicTextReader<Unit>& input, BasicTextWriter<Unit>& output,
                              const typename ChangeReportFor<Unit>::Type& reportChange) {
  Conversion<Unit> conversion(input, output, reportChange);
  while (ConvertNext(conversion)) {
  }
  return conversion.lineNumber + (TakenChunksEndLine(conversion.text) ? 1 : 0);
}

template long long ConvertStringTables(BasicTextReader<char>&, BasicTextWriter<char>&,
                                       const ChangeReportFor<char>::Type&);
template long long ConvertStringTables(BasicTextReader<char16_t>&, BasicTextWriter<char16_t>&,
                                       const ChangeReportFor<char16_t>::Type&);

}  // namespace tablemend
