// What the first bytes of a file say about its encoding: a mistake here would corrupt every line.
#include <gtest/gtest.h>

#include "text/text_format.h"

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

}  // namespace
}  // namespace tablemend
