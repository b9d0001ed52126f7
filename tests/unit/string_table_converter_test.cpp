#include "convert/string_table_converter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/text_rules_model.h"

namespace tablemend {
namespace {

struct Change {
  long long lineNumber;
  std::string oldLine;
  std::string newLine;
  bool operator==(const Change& other) const {
    return lineNumber == other.lineNumber && oldLine == other.oldLine && newLine == other.newLine;
  }
};

struct Conversion {
  std::string output;  // as stored, with CR LF
  std::vector<Change> changes;
};

std::string CrLf(std::string_view text) {
  return model::StoreText(text);
}

// Converts text given as the converter sees it, line feeds alone, stored on disk as CR LF.
Conversion Convert(std::string_view text, bool verbose = false) {
  Conversion result;
  const std::string stored = CrLf(text);
  TextReader reader;
  AttachTextReader(stored, reader);
  TextWriter writer;
  AttachTextWriter(result.output, writer);
  RunSettings settings;
  settings.verbose = verbose;
  ConvertStringTables(reader, writer, settings, [&result](const ChangeRecord& change) {
    result.changes.push_back(
        {change.lineNumber, std::string(change.oldLine), std::string(change.newLine)});
  });
  EXPECT_TRUE(CloseTextWriter(writer));
  return result;
}

struct ConvertCase {
  std::string name;
  std::string input;     // as read, line feeds alone
  std::string expected;  // as written, before LF becomes CR LF
  std::vector<long long> changedLines;
  friend void PrintTo(const ConvertCase& value, std::ostream* out) { *out << value.name; }
};

class ConvertStringTablesTest : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(ConvertStringTablesTest, RewritesExactlyTheEmptyStringEntries) {
  const Conversion result = Convert(GetParam().input);
  EXPECT_EQ(result.output, CrLf(GetParam().expected));
  std::vector<long long> changedLines;
  for (const Change& change : result.changes) {
    changedLines.push_back(change.lineNumber);
  }
  EXPECT_EQ(changedLines, GetParam().changedLines);
}

// A block around the given entry lines.
std::string Block(std::string_view entries, std::string_view header = "STRINGTABLE\nBEGIN\n") {
  return std::string(header) + std::string(entries) + "END\n";
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, ConvertStringTablesTest,
    ::testing::Values(
        ConvertCase{"FirstLineGetsEiLaterLinesDashes",
                    Block("    IDS_A,    \"\"\n    IDS_B, \"\"\n"),
                    Block("    IDS_A, \"EI\"\n    IDS_B, \"--\"\n"),
                    {3, 4}},
        ConvertCase{"BracesAndAQualifier",
                    Block("  IDS_A, \"\"\n", "STRINGTABLE DISCARDABLE\n{\n"),
                    Block("  IDS_A, \"EI\"\n", "STRINGTABLE DISCARDABLE\n{\n"),
                    {3}},
        ConvertCase{"ClosingBrace",
                    "STRINGTABLE\n{\nA, \"\"\n}\nB, \"\"\n",
                    "STRINGTABLE\n{\nA, \"EI\"\n}\nB, \"\"\n",
                    {3}},
        ConvertCase{"TabAfterKeywordIsNotAWordBreak",
                    Block("A, \"\"\n", "STRINGTABLE\tDISCARDABLE\nBEGIN\n"),
                    Block("A, \"\"\n", "STRINGTABLE\tDISCARDABLE\nBEGIN\n"),
                    {}},
        ConvertCase{"KeywordIndentedBySpaces",
                    Block("A, \"\"\n", "   STRINGTABLE\nBEGIN\n"),
                    Block("A, \"EI\"\n", "   STRINGTABLE\nBEGIN\n"),
                    {3}},
        ConvertCase{"KeywordIndentedByTabs",
                    Block("A, \"\"\n", "\t\tSTRINGTABLE\nBEGIN\n"),
                    Block("A, \"EI\"\n", "\t\tSTRINGTABLE\nBEGIN\n"),
                    {3}},
        ConvertCase{"KeywordIndentedBySpacesThenTabs",
                    Block("A, \"\"\n", "  \tSTRINGTABLE\nBEGIN\n"),
                    Block("A, \"EI\"\n", "  \tSTRINGTABLE\nBEGIN\n"),
                    {3}},
        ConvertCase{"KeywordIndentedByTabThenSpace",
                    Block("A, \"\"\n", "\t STRINGTABLE\nBEGIN\n"),
                    Block("A, \"\"\n", "\t STRINGTABLE\nBEGIN\n"),
                    {}},
        ConvertCase{"OpenerWithBlanksAround",
                    Block("A, \"\"\n", "STRINGTABLE\n  BEGIN \t\n"),
                    Block("A, \"EI\"\n", "STRINGTABLE\n  BEGIN \t\n"),
                    {3}},
        ConvertCase{"CaseCounts",
                    "stringtable\nBEGIN\nA, \"\"\nEND\nSTRINGTABLE\nBegin\nB, \"\"\n",
                    "stringtable\nBEGIN\nA, \"\"\nEND\nSTRINGTABLE\nBegin\nB, \"\"\n",
                    {}},
        ConvertCase{"LowerCaseEndDoesNotClose",
                    Block("A, \"\"\nend\nB, \"\"\n"),
                    Block("A, \"EI\"\nend\nB, \"--\"\n"),
                    {3, 5}},
        ConvertCase{"LineBetweenKeywordAndOpener",
                    Block("A, \"\"\n", "STRINGTABLE\nLANGUAGE 9, 1\nBEGIN\n"),
                    Block("A, \"\"\n", "STRINGTABLE\nLANGUAGE 9, 1\nBEGIN\n"),
                    {}},
        ConvertCase{"OpenerOnTheKeywordLine",
                    "STRINGTABLE BEGIN\nA, \"\"\nEND\n",
                    "STRINGTABLE BEGIN\nA, \"\"\nEND\n",
                    {}},
        ConvertCase{"EndWithACommentDoesNotClose",
                    Block("A, \"\"\nEND // strings\nB, \"\"\n"),
                    Block("A, \"EI\"\nEND // strings\nB, \"--\"\n"),
                    {3, 5}},
        ConvertCase{"BlankFirstLineMeansNoEi", Block("\nA, \"\"\n"), Block("\nA, \"--\"\n"), {4}},
        ConvertCase{"KeptFirstEntryMeansNoEi",
                    Block("A, \"x\"\nB, \"\"\n"),
                    Block("A, \"x\"\nB, \"--\"\n"),
                    {4}},
        ConvertCase{"EachBlockStartsAfresh",
                    Block("A, \"\"\n") + Block("{B, \"\"\n"),
                    Block("A, \"EI\"\n") + Block("{B, \"EI\"\n"),
                    {3, 7}},
        ConvertCase{"KeywordAfterABlock",
                    Block("A, \"\"\n") + "STRINGTABLE\n{\nB, \"\"\nC, \"\"\n}\n",
                    Block("A, \"EI\"\n") + "STRINGTABLE\n{\nB, \"EI\"\nC, \"--\"\n}\n",
                    {3, 7, 8}},
        ConvertCase{"OpenerAfterTerminatorIsData",
                    Block("") + "BEGIN\nA, \"\"\n",
                    Block("") + "BEGIN\nA, \"\"\n",
                    {}},
        ConvertCase{"BlockLeftOpen",
                    "STRINGTABLE\nBEGIN\nA, \"\"\nB, \"x\"",
                    "STRINGTABLE\nBEGIN\nA, \"EI\"\nB, \"x\"",
                    {3}},
        ConvertCase{"LastLineWithoutLineFeedGetsOne",
                    "STRINGTABLE\nBEGIN\nA, \"\"",
                    "STRINGTABLE\nBEGIN\nA, \"EI\"\n",
                    {3}},
        ConvertCase{"ByteOrderMarkBeforeKeyword",
                    Block("A, \"\"\n", "\xEF\xBB\xBFSTRINGTABLE\nBEGIN\n"),
                    Block("A, \"\"\n", "\xEF\xBB\xBFSTRINGTABLE\nBEGIN\n"),
                    {}},
        ConvertCase{"LoneCrsAreBlanks",
                    "STRINGTABLE\r\nBEGIN\r\nA, \"\"\r\nEND\r\nB, \"\"\n",
                    "STRINGTABLE\r\nBEGIN\r\nA, \"EI\"\nEND\r\nB, \"\"\n",
                    {3}}));

INSTANTIATE_TEST_SUITE_P(
    Entries, ConvertStringTablesTest,
    ::testing::Values(
        ConvertCase{"CommentLinesAreEntriesToo",
                    Block("// IDS_A, \"\"\n"),
                    Block("// IDS_A, \"EI\"\n"),
                    {3}},
        ConvertCase{"BlankSecondField",
                    Block("X, \"x\"\nIDS_X \"\",\n"),
                    Block("X, \"x\"\nIDS_X \"\",\n"),
                    {}},
        ConvertCase{
            "NoComma", Block("X, \"x\"\nIDS_X \"\"\n"), Block("X, \"x\"\nIDS_X \"\"\n"), {}},
        ConvertCase{"EmptyStringSpellings",
                    Block("A,    \"\"\nA,, \"\"\nA, L\"\"\nA, \"\", 12\nEND,\"\"\nA, \"\" // c\n"),
                    Block("A, \"EI\"\nA, \"--\"\nA, \"--\"\nA, \"--\"\nEND, \"--\"\nA, \"--\"\n"),
                    {3, 4, 5, 6, 7, 8}},
        ConvertCase{"StringsWithTextAreKept",
                    Block("X, \"a \"\"quoted\"\" word\"\nX, \"\"\"\"\nX, \"\"\"x\"\nX, \" \"\" \"\n"
                          "X, \"a\" \"\"\nX \"a, \"\" b\"\nX, x\"\"\n"),
                    Block("X, \"a \"\"quoted\"\" word\"\nX, \"\"\"\"\nX, \"\"\"x\"\nX, \" \"\" \"\n"
                          "X, \"a\" \"\"\nX \"a, \"\" b\"\nX, x\"\"\n"),
                    {}},
        ConvertCase{"CommaInsideAString", Block("IDS_X, \"a,b\"\n"), Block("IDS_X, \"a,b\"\n"), {}},
        ConvertCase{
            "CommaRunIsOneSeparator", Block("IDS_X,, \"\"\n"), Block("IDS_X, \"EI\"\n"), {3}},
        ConvertCase{"LaterFieldsAreDropped",
                    Block("X, \"x\"\nIDS_X, \"\", 12 // c\n"),
                    Block("X, \"x\"\nIDS_X, \"--\"\n"),
                    {4}},
        ConvertCase{
            "LeadingCommasAreSkipped", Block(",,IDS_X, \"\"\n"), Block("IDS_X, \"EI\"\n"), {3}},
        ConvertCase{
            "BlanksBeforeACommaFormTheFirstField", Block("  ,\"\"\n"), Block("  , \"EI\"\n"), {3}},
        ConvertCase{"IndentationIsKept",
                    Block("\t  IDS_X  \t,\"\"\n"),
                    Block("\t  IDS_X  \t, \"EI\"\n"),
                    {3}},
        ConvertCase{"OnlyCommas", Block(",,,\n"), Block(",,,\n"), {}},
        ConvertCase{"NulBytesAreData",
                    Block(std::string("ID\0X, \"\"\n", 9)),
                    Block(std::string("ID\0X, \"EI\"\n", 11)),
                    {3}}));

TEST(ConvertStringTables, FileWithoutBlocksComesOutByteForByte) {
  std::string input;
  for (int line = 0; line < 5000; ++line) {
    input +=
        "LINE " + std::to_string(line) + std::string(static_cast<std::size_t>(line % 1500), ';');
    input += line % 7 == 0 ? ", \"\"\n" : "\n";
  }
  const Conversion result = Convert(input);
  EXPECT_TRUE(result.output == CrLf(input));
  EXPECT_TRUE(result.changes.empty());
}

TEST(ConvertStringTables, PiecesOfALongLineAreNumberedButNeverEntries) {
  // A string of 1030 characters: a piece of 1023, then "xxxxx, \"\"q\"\" z\"", which looks like
  // an entry with an empty string but is the end of the string.
  const std::string longLine = "IDS_X, \"" + std::string(1020, 'x') + ", \"\"q\"\" z\"\n";
  const Conversion result = Convert(Block(longLine + "B, \"\"\n"));
  const std::vector<Change> expected = {{5, "B, \"\"\n", "B, \"--\"\n"}};
  EXPECT_EQ(result.changes, expected);
  EXPECT_EQ(result.output, CrLf(Block(longLine + "B, \"--\"\n")));
}

TEST(ConvertStringTables, ChangeRecordHoldsTheChunkAsRead) {
  const Conversion result = Convert("STRINGTABLE\nBEGIN\n  A,\t\"\" // x\n  B, \"\"");
  const std::vector<Change> expected = {{3, "  A,\t\"\" // x\n", "  A, \"EI\"\n"},
                                        {4, "  B, \"\"", "  B, \"--\"\n"}};
  EXPECT_EQ(result.changes, expected);
}

TEST(ConvertStringTables, VerbosePrintsEachChangeWithBrackets) {
  ::testing::internal::CaptureStdout();
  Convert(Block("A, \"\"\n"), true);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "Changed line number: 3\n\tFrom: [A, \"\"\n]\n\tTo: [A, \"EI\"\n]\n");
  ::testing::internal::CaptureStdout();
  Convert(Block("A, \"\"\n"), false);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
}

}  // namespace
}  // namespace tablemend
