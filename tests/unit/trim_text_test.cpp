#include "convert/trim_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tablemend {
namespace {

struct TrimCase {
  std::string text;
  std::string expected;
  friend void PrintTo(const TrimCase& value, std::ostream* out) {
    *out << ::testing::PrintToString(value.text);
  }
};

class TrimTextTest : public ::testing::TestWithParam<TrimCase> {};

TEST_P(TrimTextTest, RemovesOnlyLeadingAndTrailingBlanks) {
  EXPECT_EQ(TrimText(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Blanks, TrimTextTest,
    ::testing::Values(TrimCase{"", ""}, TrimCase{" \t\r\n", ""}, TrimCase{"BEGIN", "BEGIN"},
                      TrimCase{"  BEGIN\r\n", "BEGIN"}, TrimCase{"\tEND\n", "END"},
                      TrimCase{" a b ", "a b"}, TrimCase{"\t a\tb \t", "a\tb"},
                      // Only space, tab, CR and LF are blank: form feeds, vertical tabs and NUL
                      // bytes are kept.
                      TrimCase{"\fEND\v", "\fEND\v"},
                      TrimCase{std::string("\0END\0", 5), std::string("\0END\0", 5)}));

}  // namespace
}  // namespace tablemend
