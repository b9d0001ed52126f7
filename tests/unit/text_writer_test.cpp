// The log's writer: texts longer than its buffer (a banner, a header) go out in pieces and whole.
#include "text/text_writer.h"

#include <gtest/gtest.h>

#include <string>

namespace tablemend {
namespace {

TEST(WriteText, FlushesWhenTheBufferFillsAndWritesEveryLineFeedAsCrLf) {
  std::string text;
  std::string expected;
  for (int line = 0; line < 700; ++line) {
    text += "ab\n";
    expected += "ab\r\n";
  }
  std::string stored;
  TextWriter writer;
  AttachTextWriter(stored, TextFormat(), writer, kMinimumTextBufferSize);
  WriteText(writer, text);
  ASSERT_LE(writer.used, writer.capacity);  // never past the end of the buffer
  ASSERT_TRUE(CloseTextWriter(writer));
  EXPECT_EQ(stored, expected);
}

}  // namespace
}  // namespace tablemend
