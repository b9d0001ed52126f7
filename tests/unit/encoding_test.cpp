// Encodings: what the first bytes of a file say about its encoding (a mistake there would corrupt
// every line), and UTF-16 to UTF-8 and back (the shown form of UTF-16 lines, and Windows file
// names); and the diff of any two texts.
#include <gtest/gtest.h>

#include "diff/unified_diff.h"
#include "text/text_format.h"
#include "unicode/unicode.h"

namespace tablemend {
namespace {

TEST(DetectTextFormat, TellsUtf16ByItsMarkOrByPlainAsciiBesideZeroBytes) {
  using namespace std::string_literals;
  constexpr TextEncoding kBytes = TextEncoding::kBytes;
  constexpr TextEncoding kLittle = TextEncoding::kUtf16LittleEndian;
  constexpr TextEncoding kBig = TextEncoding::kUtf16BigEndian;
  const struct {
    std::string bytes;
    TextEncoding encoding;
    bool byteOrderMark;
  } cases[] = {
      {"\xFF\xFE", kLittle, true},  {"\xFE\xFF\0S"s, kBig, true},     {"\1\0/\0"s, kLittle, false},
      {"\0/\0/"s, kBig, false},     {"\xFFx\0y"s, kBytes, false},     {"x\xFE", kBytes, false},
      {"\xFE\xFE", kBytes, false},  {"\xEF\xBB\xBF/", kBytes, false}, {"/\0\x80\0"s, kBytes, false},
      {"\0\0\0\0"s, kBytes, false}, {"/\0/"s, kBytes, false},         {"", kBytes, false},
  };
  for (const auto& test : cases) {
    const TextFormat format = DetectTextFormat(test.bytes);
    EXPECT_EQ(format.encoding, test.encoding) << ::testing::PrintToString(test.bytes);
    EXPECT_EQ(format.byteOrderMark, test.byteOrderMark) << ::testing::PrintToString(test.bytes);
  }
}

TEST(Unicode, EncodesEveryKindOfUnitAndDecodesItBack) {
  // ASCII, two- and three-byte characters, pairs (one last), lone surrogates (the highest among
  // them), the largest unit.
  const std::u16string units =
      u"a\u00e9\u0800\u0a0d\U00010000\U0001F60D\xD800x\xDC00\xFFFF\xDFFF\U00010437";
  const std::string kept = EncodeUtf8(units, LoneSurrogates::kKeep);
  EXPECT_EQ(kept,
            "a\xC3\xA9\xE0\xA0\x80\xE0\xA8\x8D\xF0\x90\x80\x80\xF0\x9F\x98\x8D\xED\xA0\x80x"
            "\xED\xB0\x80\xEF\xBF\xBF\xED\xBF\xBF\xF0\x90\x90\xB7");
  EXPECT_EQ(DecodeUtf8(kept), units);
  // A pair at the very start, a high surrogate at the very end.
  EXPECT_EQ(EncodeUtf8(u"\U00010437\xD800", LoneSurrogates::kKeep), "\xF0\x90\x90\xB7\xED\xA0\x80");
  EXPECT_EQ(EncodeUtf8(units, LoneSurrogates::kReplace),
            "a\xC3\xA9\xE0\xA0\x80\xE0\xA8\x8D\xF0\x90\x80\x80\xF0\x9F\x98\x8D\xEF\xBF\xBDx"
            "\xEF\xBF\xBD\xEF\xBF\xBF\xEF\xBF\xBD\xF0\x90\x90\xB7");
  // Bytes no UTF-8 sequence explains stand for themselves: a stray continuation byte, a cut
  // sequence, an overlong form, a point past U+10FFFF (the last point is one).
  EXPECT_EQ(DecodeUtf8("\x80\xE0\xA0 \xC0\xAF"), u"\u0080\u00e0\u00a0 \u00c0\u00af");
  EXPECT_EQ(DecodeUtf8("\xF4\x8F\xBF\xBF\xF4\x90\x80\x80"), u"\U0010FFFF\u00f4\u0090\u0080\u0080");
}

// A run replaces lines one for one, but the diff takes any texts, as diff -u writes them: a line
// gone, one come, one added at the end, in one hunk.
TEST(MakeUnifiedDiff, WritesWhatDiffWritesForLinesGoneAndCome) {
  EXPECT_EQ(MakeUnifiedDiff("a\nb\nc\nd\ne\nf\ng\nh\n", "a\nc\nd\nX\ne\nf\ng\nh\ni\n", "x"),
            "--- a/x\n+++ b/x\n@@ -1,8 +1,9 @@\n a\n-b\n c\n d\n+X\n e\n f\n g\n h\n+i\n");
}

}  // namespace
}  // namespace tablemend
