// The converter and the text-file rules under it: a table of the cases that matter, then the
// program against the plain model over generated scripts, through buffers of every size.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/conversions.h"

namespace tablemend::check {
namespace {

using namespace std::string_literals;

const std::string kHead = "STRINGTABLE\r\nBEGIN\r\n";
const std::string x1023(1023, 'x');

// Input and output as stored; no output means the input comes out as it went in.
struct Case {
  const char* name;
  std::string input;
  std::string output{};
};

// clang-format off
const std::vector<Case> kCases = {
    // A block: the keyword as the first word (spaces separate words, a tab does not), the opener
    // on the next line, words exact and case-sensitive, the terminator alone on its line; "EI"
    // for the first line after the opener only.
    {"EI on the first line only", kHead + "  A,    \"\"\r\n  B, \"\"\r\nEND\r\nC, \"\"\r\n",
     kHead + "  A, \"EI\"\r\n  B, \"--\"\r\nEND\r\nC, \"\"\r\n"},
    {"the keyword as a word", "  \tSTRINGTABLE DISCARDABLE\r\n {\t\r\n\r\nA, \"\"\r\n}\r\n",
     "  \tSTRINGTABLE DISCARDABLE\r\n {\t\r\n\r\nA, \"--\"\r\n}\r\n"},
    {"a tab joins the keyword to the next word", "STRINGTABLE\tX\r\nBEGIN\r\nA, \"\"\r\nSTRINGTABLE\tBEGIN\r\nA, \"\"\r\n"},
    {"a tab before the spaces is part of the first word", "\t STRINGTABLE\r\n{\r\nA, \"\"\r\n"},
    {"keywords are case-sensitive", "stringtable\r\nBEGIN\r\nA, \"\"\r\nSTRINGTABLE\r\nBegin\r\nA, \"\"\r\n"},
    // Between the keyword's line and the opener: blank lines, comment lines, preprocessor lines
    // and options, as resource compilers take them; a second keyword's line starts again.
    {"lines before the opener", "STRINGTABLE\r\nLANGUAGE LANG_GERMAN, SUBLANG_GERMAN\r\n\r\n // c\r\n/**/\r\n /* c */ \r\n"
     "  #if 1\r\nCHARACTERISTICS 1\r\nVERSION\t2\r\nLANGUAGE\r\nBEGIN\r\nA \"\"\r\nEND\r\nSTRINGTABLE\r\nX\r\nSTRINGTABLE\r\n"
     "LANGUAGE 9, 1\r\nSTRINGTABLE\r\n{\r\nB, \"\"\r\n}\r\n",
     "STRINGTABLE\r\nLANGUAGE LANG_GERMAN, SUBLANG_GERMAN\r\n\r\n // c\r\n/**/\r\n /* c */ \r\n"
     "  #if 1\r\nCHARACTERISTICS 1\r\nVERSION\t2\r\nLANGUAGE\r\nBEGIN\r\nA \"EI\"\r\nEND\r\nSTRINGTABLE\r\nX\r\nSTRINGTABLE\r\n"
     "LANGUAGE 9, 1\r\nSTRINGTABLE\r\n{\r\nB, \"EI\"\r\n}\r\n"},
    {"an entry before the opener", "STRINGTABLE\r\nLANGUAGE 9, 1\r\nA, \"\"\r\nBEGIN\r\nB, \"\"\r\n"},
    {"code after a comment", "STRINGTABLE\r\n/* a */ b */\r\nBEGIN\r\nC, \"\"\r\n"},
    {"a comment over two lines", "STRINGTABLE\r\n/* a\r\n*/\r\nBEGIN\r\nE, \"\"\r\n"},
    {"an option's name inside a word", "STRINGTABLE\r\nLANGUAGES 9\r\n{\r\nD, \"\"\r\n"},
    // The opener as the last word of the keyword's line, a "//" comment after it allowed; a
    // table written on one line goes on after its opener, and is left as it is.
    {"the opener on the keyword's line", "STRINGTABLE BEGIN\r\nA, \"\"\r\nB, \"\"\r\nEND\r\n"
     "  STRINGTABLE DISCARDABLE\t{  // c\r\nC  \"\"\r\n}\r\nSTRINGTABLE BEGIN//c\nD L\"\"\n}",
     "STRINGTABLE BEGIN\r\nA, \"EI\"\r\nB, \"--\"\r\nEND\r\n"
     "  STRINGTABLE DISCARDABLE\t{  // c\r\nC  \"EI\"\r\n}\r\nSTRINGTABLE BEGIN//c\r\nD L\"EI\"\r\n}"},
    {"a table on one line", "STRINGTABLE BEGIN A, \"\" END\r\nB, \"\"\r\n"},
    {"the opener not a word of its own", "STRINGTABLE BEGIN/\r\nD, \"\"\r\nSTRINGTABLE BEGIN /\r\nC, \"\"\r\n"},
    {"the opener inside a comment", "STRINGTABLE /* BEGIN */\r\nE, \"\"\r\nSTRINGTABLE // BEGIN\r\nF, \"\"\r\n"},
    {"what closes a block", kHead + "A, \"x\"\r\nB, \"\"\r\nEND // x\r\nend\r\nEND\f\r\nC, \"\"\r\nEND\r\nBEGIN\r\nD, \"\"\r\n",
     kHead + "A, \"x\"\r\nB, \"--\"\r\nEND // x\r\nend\r\nEND\f\r\nC, \"--\"\r\nEND\r\nBEGIN\r\nD, \"\"\r\n"},
    // Entries: which strings are empty, and what the new line keeps.
    {"empty strings with a comma", kHead + "A,, L\"\"\r\n,,B, \"\", 12 // c\r\n  ,\"\"\r\n\t C \t,\"\"x\r\n// D, \"\"\r\nEND,\"\"\r\n",
     kHead + "A, \"EI\"\r\nB, \"--\"\r\n  , \"--\"\r\n\t C \t, \"--\"\r\n// D, \"--\"\r\nEND, \"--\"\r\n"},
    {"doubled quotation marks in a string", kHead + "X, \"a \"\"q\"\" b\"\r\nX, \"\"\"\"\r\n"},
    {"an empty string after one with text", kHead + "X, \"a\" \"\"\r\nX \"a, \"\" b\"\r\n,,,\r\n"},
    // Entries without a comma, as Visual Studio writes them: the placeholder goes inside the
    // string, and the rest of the line stays, its end included.
    {"entries without a comma", kHead + "    A   \"\"\r\n    B L\"\"   // none\r\n\tC\t\"\"\t/* x */\r\n  // Q \"\"\r\n"
     "D\"\"\r\nE \"\" \r \nF \"\"",
     kHead + "    A   \"EI\"\r\n    B L\"--\"   // none\r\n\tC\t\"--\"\t/* x */\r\n"
     "  // Q \"--\"\r\nD\"--\"\r\nE \"--\" \r \r\nF \"--\""},
    // Only blanks or a comment may follow the string, and no comma stand before it.
    {"a comma after the string", kHead + "C \"\",\r\n"},
    {"a third quotation mark", kHead + "D \"a\" \"\"\r\nE \"\"\"\"\r\nX \"\"\"x\"\r\n"},
    {"text after the string", kHead + "H \"\"x\r\nH \"\" x\r\n"},
    {"a comma before the string", kHead + "X, \"a\" \"\"\r\n, \"\"\r\n"},
    {"no entry after the block", kHead + "END\r\nX \"\"\r\n"},
    // Or wrapped: the ID alone on its line (a comma at its end allowed), the string alone on the
    // next; "EI" when the ID stands on the block's first line.
    {"wrapped entries", kHead + "  A_VERY_LONG_ID\r\n          \"\"\r\n  W,\r\n  L\"\" // c\r\nX\nL\"\"\n",
     kHead + "  A_VERY_LONG_ID\r\n          \"EI\"\r\n  W,\r\n  L\"--\" // c\r\nX\r\nL\"--\"\r\n"},
    // Not after a blank line, an entry with its string, a comma entry, two commas, the opener or
    // a piece of a long line, nor as a block's first line.
    {"what a wrapped entry is not", kHead + "\"\"\r\n\r\n\"\"\r\nA \"a\"\r\n\"\"\r\nB, \"\"\r\n L\"\"\r\nC,,\r\n\"\"\r\n" +
         ",\r\n\"\"\r\n" + x1023 + "D\r\n\"\"\r\nE\r\nEND\r\nSTRINGTABLE\r\nBEGIN\r\n\"\"\r\n",
     kHead + "\"\"\r\n\r\n\"\"\r\nA \"a\"\r\n\"\"\r\nB, \"--\"\r\n L\"\"\r\nC,,\r\n\"\"\r\n" +
         ",\r\n\"\"\r\n" + x1023 + "D\r\n\"\"\r\nE\r\nEND\r\nSTRINGTABLE\r\nBEGIN\r\n\"\"\r\n"},
    // Text rules: LF alone and a last line without one, lone CRs kept (and blank to trimming),
    // NUL bytes as data, Ctrl-Z ending the text, a block left open.
    {"line ends and NUL bytes", "STRINGTABLE\nBEGIN\r\r\nA, \"\"\r\nB\0, \"\""s, "STRINGTABLE\r\nBEGIN\r\r\nA, \"EI\"\r\nB\0, \"--\"\r\n"s},
    {"Ctrl-Z and an open block", "x\ry\r\r\nSTRINGTABLE\r\n{\r\nA, \"\"\r\x1a\n}\r\n", "x\ry\r\r\nSTRINGTABLE\r\n{\r\nA, \"EI\"\r\n"},
    {"Ctrl-Z padded as DOS editors left it", kHead + "A, \"\"\x1a \t\r\n\x1a\x1a\n" + std::string(3000, ' '), kHead + "A, \"EI\"\r\n"},
    // Through the smallest buffer, the "y" comes alone in the last read.
    {"text far after a Ctrl-Z", "x\x1a" + std::string(2046, ' ') + "y", "x"},
    // A UTF-8 byte-order mark is no part of the first word.
    {"a UTF-8 byte-order mark", "\xEF\xBB\xBFSTRINGTABLE\r\nBEGIN\r\nA, \"\"\r\n", "\xEF\xBB\xBFSTRINGTABLE\r\nBEGIN\r\nA, \"EI\"\r\n"},
    // Lines of 1023 characters and more come in pieces; a piece that continues a line is never
    // an entry, whatever it holds, and a string that a piece's end splits is no empty string.
    {"pieces of long lines", kHead + x1023 + "\r\nA, \"\"\r\nA, \"" + x1023 + ", \"\"q\"\"\"\r\n" +
         x1023.substr(1) + "\"\"\r\n",
     kHead + x1023 + "\r\nA, \"--\"\r\nA, \"" + x1023 + ", \"\"q\"\"\"\r\n" +
         x1023.substr(1) + "\"\"\r\n"},
    // Outside blocks too, a line of 1023 characters counts as two; in the smallest buffer, the
    // first line, of one unit, is followed by a refill.
    {"long lines outside blocks", "\nx\r\n" + x1023.substr(4) + "yzzz\r\n" + kHead + "A, \"\"\r\n",
     "\r\nx\r\n" + x1023.substr(4) + "yzzz\r\n" + kHead + "A, \"EI\"\r\n"},
};
// clang-format on

// Through the largest buffer and through the smallest, which holds no more than a chunk's window,
// and in UTF-16 as in bytes.
TEST(ConvertStringTables, FollowsTheRulesOfEachCase) {
  for (const auto& [name, input, expected] : kCases) {
    for (const std::size_t bufferSize : {kTextBufferSize, kMinimumTextBufferSize}) {
      EXPECT_EQ(ConvertWithProgram(input, bufferSize).output, expected.empty() ? input : expected)
          << name;
      for (const bool keepLineEnds : {false, true}) {
        EXPECT_EQ(CheckConversion(input, bufferSize, {TextEncoding::kUtf16LittleEndian, true},
                                  keepLineEnds),
                  "")
            << name << (keepLineEnds ? ", line ends kept" : "");
      }
    }
  }
}

// A random script of the lines that matter to the rules, with every kind of line end.
std::string GenerateScript(std::mt19937& random) {
  static const std::string kLongLine = std::string(1019, 'y') + ", \"\"q\"\"\"";
  // clang-format off
  static const std::vector<std::string> kLines = {
      "STRINGTABLE", " STRINGTABLE X", "\tSTRINGTABLE", "  ", "BEGIN", " { ", "END", "}", "END //",
      "A, \"\"", "A,, L\"\"", " B ,\"\" , 1", "X, \"\"\"\"", "X \"a, \"\" b\"", "X, \"a\"", "",
      "A \"\"", " B\tL\"\" // c", "\t\"\" /*", "L\"\"", "ID_ALONE", "W ,", "X \"\"x", "X \"\"\"\"",
      ",,", "a\0b, \"\""s, "\x80\x86, \"\x87\" \x81", "\x82\x83\x84\x85\xC3\xA9", kLongLine,
      "LANGUAGE 9, 1", " // c", "#if 1", "/* c */", "VERSION", "STRINGTABLE BEGIN",
      "STRINGTABLE X { // c", "STRINGTABLE BEGIN A, \"\" END"};
  // clang-format on
  static const std::vector<std::string> kEnds = {"\r\n", "\r\n", "\n", "\r", "", "\x1a"};
  // Now and then a longer script with CR LF alone, as most are saved, and lone CRs: lines are
  // then found from the buffer's line-feed marks.
  const bool longer = random() % 16 == 0;
  std::string script;
  for (unsigned line = random() % (longer ? 400 : 40); line > 0; --line) {
    script += kLines[random() % kLines.size()] +
              kEnds[longer ? random() % 2 * 3 : random() % kEnds.size()];
  }
  return script;
}

TEST(ConvertStringTables, AgreesWithThePlainModelOnGeneratedScriptsInEveryEncoding) {
  std::mt19937 random(20261206);
  for (int round = 0; round < 3000; ++round) {
    const std::string script = GenerateScript(random);
    const TextFormat utf16{
        round % 2 ? TextEncoding::kUtf16BigEndian : TextEncoding::kUtf16LittleEndian,
        round % 4 < 2};
    ASSERT_EQ(
        CheckConversion(script, kMinimumTextBufferSize + random() % 3000, utf16, round % 3 == 0),
        "")
        << script;
  }
}

}  // namespace
}  // namespace tablemend::check
