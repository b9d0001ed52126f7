// The program's conversion of text in memory, and the same rules written the plain way over
// whole strings (no buffers, no bulk copying, no shortcuts) to check it against: the unit tests
// and the fuzzer compare the two.
#ifndef TABLEMEND_TESTS_SUPPORT_CONVERSIONS_H
#define TABLEMEND_TESTS_SUPPORT_CONVERSIONS_H

#include <regex>
#include <string>
#include <vector>

#include "convert/string_table_converter.h"

namespace tablemend::check {

// What a conversion wrote, as stored, and each change as "number|line as read|new line".
struct Conversion {
  std::string output;
  std::vector<std::string> changes;
  bool operator==(const Conversion& other) const {
    return output == other.output && changes == other.changes;
  }
};

inline std::string Describe(long long number, std::string_view oldLine, std::string_view newLine) {
  return std::to_string(number) + "|" + std::string(oldLine) + "|" + std::string(newLine);
}

// The program, reading and writing through buffers of the given size.
inline Conversion ConvertWithProgram(std::string_view stored,
                                     std::size_t bufferSize = kTextBufferSize) {
  Conversion result;
  TextReader reader;
  AttachTextReader(stored, reader, bufferSize);
  TextWriter writer;
  AttachTextWriter(result.output, writer, bufferSize);
  ConvertStringTables(reader, writer, RunSettings(), [&result](const ChangeRecord& change) {
    result.changes.push_back(Describe(change.lineNumber, change.oldLine, change.newLine));
  });
  CloseTextWriter(writer);
  return result;
}

// Stored text as the converter reads it: up to a Ctrl-Z, CR LF as one LF, in chunks that end at
// a line feed or after 1023 characters.
inline std::vector<std::string> ReadChunks(std::string_view stored) {
  std::vector<std::string> chunks(1);
  for (std::size_t index = 0; index < stored.size() && stored[index] != '\x1a'; ++index) {
    if (stored.substr(index, 2) != "\r\n") {
      chunks.back() += stored[index];
    }
    if (stored[index] == '\n' || chunks.back().size() == 1023) {
      chunks.emplace_back();
    }
  }
  if (chunks.back().empty()) {
    chunks.pop_back();
  }
  return chunks;
}

// The rules of a line, each a pattern over the whole chunk.
const std::regex kNamesTable("^ *[\t\r\n]*STRINGTABLE[\t\r\n]*( |$)");  // its first word
const std::regex kOpensBlock("^[ \t\r\n]*(\\{|BEGIN)[ \t\r\n]*$");
const std::regex kClosesBlock("^[ \t\r\n]*(\\}|END)[ \t\r\n]*$");
// Commas first, the first field (no quotation mark in it), commas, blanks, then "" or L"" that
// no third quotation mark follows.
const std::regex kEmptyStringEntry("^,*([^,\"]+),+[ \t\r\n]*L?\"\"(?!\")");

inline Conversion ConvertWithModel(std::string_view stored) {
  const std::vector<std::string> chunks = ReadChunks(stored);
  Conversion result;
  bool inBlock = false;
  bool firstInBlock = false;
  for (std::size_t index = 0; index < chunks.size(); ++index) {
    std::string written = chunks[index];
    std::smatch entry;
    if (!inBlock) {
      inBlock = firstInBlock = index > 0 && std::regex_search(chunks[index - 1], kNamesTable) &&
                               std::regex_search(written, kOpensBlock);
    } else if (std::regex_search(written, kClosesBlock)) {
      inBlock = false;
    } else {
      // A piece that continues a line is never an entry.
      if (chunks[index - 1].back() == '\n' &&
          std::regex_search(chunks[index], entry, kEmptyStringEntry)) {
        written = entry[1].str() + (firstInBlock ? ", \"EI\"\n" : ", \"--\"\n");
        result.changes.push_back(
            Describe(static_cast<long long>(index) + 1, chunks[index], written));
      }
      firstInBlock = false;
    }
    // Written back with CR LF.
    result.output += written.back() == '\n' ? written.insert(written.size() - 1, "\r") : written;
  }
  return result;
}

}  // namespace tablemend::check

#endif
