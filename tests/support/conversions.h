// The program's conversion of text in memory, and the same rules written the plain way over
// whole strings (no buffers, no bulk copying, no shortcuts) to check it against: the unit tests
// and the fuzzer compare the two.
#ifndef TABLEMEND_TESTS_SUPPORT_CONVERSIONS_H
#define TABLEMEND_TESTS_SUPPORT_CONVERSIONS_H

#include <regex>
#include <string>
#include <vector>

#include "convert/string_table_converter.h"
#include "support/utf16.h"

namespace tablemend::check {

// What a conversion wrote, as stored, and each change as "number|line as read|new line" in code
// units (UTF-16 ones as little-endian bytes); the line the input ended on, and whether text
// followed a Ctrl-Z.
struct Conversion {
  std::string output;
  std::vector<std::string> changes;
  long long endLine = 0;
  bool textAfterEndMark = false;
  bool operator==(const Conversion& other) const {
    return output == other.output && changes == other.changes && endLine == other.endLine &&
           textAfterEndMark == other.textAfterEndMark;
  }
};

template <typename Unit>
std::string Describe(long long number, std::basic_string_view<Unit> oldLine,
                     std::basic_string_view<Unit> newLine) {
  const std::string prefix = std::to_string(number) + "|";
  std::basic_string<Unit> text(prefix.begin(), prefix.end());
  text.append(oldLine).append(1, '|').append(newLine);
  if constexpr (sizeof(Unit) == 1) {
    return text;
  } else {
    return StoreUtf16(text, {TextEncoding::kUtf16LittleEndian, false});
  }
}

// The program, reading stored bytes of the given format through buffers of the given size, and
// writing CR LF, or keeping each line's own line end.
template <typename Unit = char>
Conversion ConvertWithProgram(std::string_view stored, std::size_t bufferSize = kTextBufferSize,
                              const TextFormat& format = TextFormat(), bool keepLineEnds = false) {
  Conversion result;
  BasicTextReader<Unit> reader;
  AttachTextReader(stored, format, reader, bufferSize);
  BasicTextWriter<Unit> writer;
  AttachTextWriter(result.output, format, writer, bufferSize);
  writer.keepsLineEnds = keepLineEnds;
  result.endLine =
      ConvertStringTables<Unit>(reader, writer, [&result](const BasicChangeRecord<Unit>& change) {
        result.changes.push_back(Describe(change.lineNumber, change.oldLine, change.newLine));
      });
  result.textAfterEndMark = reader.textAfterEndMark;
  CloseTextWriter(writer);
  return result;
}

// Bytes as UTF-16 text of the given format, each byte one code unit: ASCII as itself, the others
// as characters whose bytes would be line ends or Ctrl-Z to a reader of bytes, as a byte-order
// mark, or as surrogates without their other half.
inline std::string ToUtf16(std::string_view bytes, const TextFormat& format) {
  static const char16_t kTricky[] = {0x0A0D, 0x1A0D, 0x0D0A, 0x0A00,
                                     0x1A00, 0xFEFF, 0xD800, 0xDC00};
  std::u16string units;
  for (const unsigned char byte : bytes) {
    units += byte < 0x80 ? byte : byte < 0x88 ? kTricky[byte - 0x80] : char16_t(0x100 + byte);
  }
  return StoreUtf16(units, format);
}

// Stored text as the converter reads it: up to a Ctrl-Z, CR LF as one LF, in chunks that end at
// a line feed or after 1023 characters; and the same chunks as they are stored.
inline std::vector<std::string> ReadChunks(std::string_view stored,
                                           std::vector<std::string>& storedChunks) {
  std::vector<std::string> chunks(1);
  std::size_t start = 0;
  for (std::size_t index = 0; index < stored.size() && stored[index] != '\x1a'; ++index) {
    if (stored.substr(index, 2) != "\r\n") {
      chunks.back() += stored[index];
    }
    if (stored[index] == '\n' || chunks.back().size() == 1023) {
      chunks.emplace_back();
      storedChunks.emplace_back(stored.substr(start, index + 1 - start));
      start = index + 1;
    }
  }
  if (chunks.back().empty()) {
    chunks.pop_back();
  } else {
    storedChunks.emplace_back(stored.substr(start, chunks.back().size()));
  }
  return chunks;
}

// The line a run writes for a chunk: as read, CR LF for its line feed, or as stored; a rewritten
// line with its stored chunk's line end, when line ends are kept.
inline std::string WriteChunk(std::string written, const std::string& read,
                              const std::string& stored, bool keepLineEnds) {
  if (!keepLineEnds) {
    return written.back() == '\n' ? written.insert(written.size() - 1, "\r") : written;
  }
  if (written == read) {
    return stored;
  }
  const std::size_t ending = stored.size() >= 2 && stored.substr(stored.size() - 2) == "\r\n" ? 2
                             : stored.back() == '\n'                                          ? 1
                                                                                              : 0;
  written.erase(written.size() - (written.back() == '\n' ? 1 : 0));
  return written + stored.substr(stored.size() - ending);
}

// The rules of a line, each a pattern over the whole chunk.
const std::regex kNamesTable("^ *[\t\r\n]*STRINGTABLE[\t\r\n]*( |$)");  // its first word
const std::regex kOpensBlock("^[ \t\r\n]*(\\{|BEGIN)[ \t\r\n]*$");
// The keyword's line whose last word, before a "//" comment, is the opener opens the block itself.
const std::regex kEndsInOpener("^((?!//)[\\s\\S])*[ \t\r\n](\\{|BEGIN)[ \t\r\n]*(//[\\s\\S]*)?$");
// Between the keyword's line and the opener: a blank line, a comment, a preprocessor line or an
// option.
const std::regex kBeforeOpener(
    "^[ \t\r\n]*($|#|//|/\\*((?!\\*/)[\\s\\S])*\\*/[ \t\r\n]*$|"
    "(LANGUAGE|CHARACTERISTICS|VERSION)([ \t\r\n]|$))");
const std::regex kClosesBlock("^[ \t\r\n]*(\\}|END)[ \t\r\n]*$");
// Commas first, the first field (no quotation mark in it), commas, blanks, then "" or L"" that
// no third quotation mark follows.
const std::regex kEmptyStringEntry("^,*([^,\"]+),+[ \t\r\n]*L?\"\"(?!\")");
// Without a comma: the ID, then "" or L"" (the L after a blank or at the start) that no third
// quotation mark follows, then blanks to the end or to a comment. Or only blanks before the
// string, its ID alone on the line before: no quotation mark, no comma but one at its end.
#define TABLEMEND_END_OF_ENTRY "(?!\")[ \t\r\n]*(//|/\\*|$)"
const std::regex kEntryWithoutComma("^(?![ \t\r\n]*L?\"\")[^,\"]*\"\"" TABLEMEND_END_OF_ENTRY);
const std::regex kStringAlone("^[ \t\r\n]*L?\"\"" TABLEMEND_END_OF_ENTRY);
const std::regex kIdAlone("^[ \t\r\n]*[^,\" \t\r\n][^,\"]*,?[ \t\r\n]*\n$");
#undef TABLEMEND_END_OF_ENTRY

inline Conversion ConvertWithModel(std::string_view stored, bool keepLineEnds = false) {
  std::vector<std::string> storedChunks;
  const std::vector<std::string> chunks = ReadChunks(stored, storedChunks);
  Conversion result;
  result.endLine = static_cast<long long>(chunks.size()) +
                   (chunks.empty() || chunks.back().back() == '\n' ? 1 : 0);
  const std::size_t mark = stored.find('\x1a');
  result.textAfterEndMark = mark != std::string_view::npos &&
                            stored.find_first_not_of(" \t\r\n\x1a", mark) != std::string_view::npos;
  enum { kOutside, kSeekingOpener, kInBlock } state = kOutside;
  bool firstInBlock = false;
  std::size_t blockStart = 0;  // the index of the block's first line
  for (std::size_t index = 0; index < chunks.size(); ++index) {
    std::string written = chunks[index];
    std::smatch entry;
    if (state != kInBlock) {
      std::string line = written;
      // A UTF-8 byte-order mark is no part of the first line's first word.
      line.erase(0, index == 0 && line.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0);
      if (std::regex_search(line, kNamesTable)) {
        state = std::regex_search(line, kEndsInOpener) ? kInBlock : kSeekingOpener;
      } else if (state == kSeekingOpener) {
        state = std::regex_search(line, kOpensBlock)     ? kInBlock
                : std::regex_search(line, kBeforeOpener) ? kSeekingOpener
                                                         : kOutside;
      }
      firstInBlock = state == kInBlock;
      blockStart = index + 1;
    } else if (std::regex_search(written, kClosesBlock)) {
      state = kOutside;
    } else {
      // A piece that continues a line is never an entry, nor its ID.
      const auto startsLine = [&chunks](std::size_t line) {
        return line == 0 || chunks[line - 1].back() == '\n';
      };
      const bool idAbove = index > blockStart && startsLine(index - 1) &&
                           std::regex_search(chunks[index - 1], kIdAlone);
      const bool alone = idAbove && std::regex_search(written, kStringAlone);
      if (startsLine(index) && std::regex_search(chunks[index], entry, kEmptyStringEntry)) {
        written = entry[1].str() + (firstInBlock ? ", \"EI\"\n" : ", \"--\"\n");
      } else if (startsLine(index) && (alone || std::regex_search(written, kEntryWithoutComma))) {
        const bool first = alone ? index - 1 == blockStart : firstInBlock;
        written.insert(written.find('"') + 1, first ? "EI" : "--");
      }
      // Every placeholder differs from the "" it fills.
      if (written != chunks[index]) {
        result.changes.push_back(
            Describe<char>(static_cast<long long>(index) + 1, chunks[index], written));
      }
      firstInBlock = false;
    }
    result.output += WriteChunk(written, chunks[index], storedChunks[index], keepLineEnds);
  }
  return result;
}

// The property the tests hold the program to: converting bytes through buffers of the given size,
// writing CR LF or keeping line ends, gives what the model gives; and the same bytes as UTF-16
// text of the given format, one code unit each, come out as the UTF-16 text of that result. An
// empty text when it holds, or what broke. (A UTF-8 byte-order mark, which means nothing in
// UTF-16 text, skips the UTF-16 part.)
inline std::string CheckConversion(std::string_view bytes, std::size_t bufferSize,
                                   const TextFormat& utf16Format, bool keepLineEnds) {
  const Conversion result = ConvertWithProgram(bytes, bufferSize, TextFormat(), keepLineEnds);
  if (!(result == ConvertWithModel(bytes, keepLineEnds))) {
    return "the program and the model convert the bytes differently";
  }
  Conversion expected{
      ToUtf16(result.output, utf16Format), {}, result.endLine, result.textAfterEndMark};
  for (const std::string& change : result.changes) {
    expected.changes.push_back(ToUtf16(change, TextFormat()));
  }
  const bool utf16Agrees = ConvertWithProgram<char16_t>(ToUtf16(bytes, utf16Format), bufferSize,
                                                        utf16Format, keepLineEnds) == expected;
  return utf16Agrees || bytes.substr(0, 3) == "\xEF\xBB\xBF"
             ? ""
             : "UTF-16 text converts otherwise than the same text in bytes";
}

}  // namespace tablemend::check

#endif
