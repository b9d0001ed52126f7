#include "platform/text_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/text_rules_model.h"

namespace tablemend {
namespace {

std::vector<std::string> ReadChunks(std::string_view bytes) {
  TextReader reader;
  AttachTextReader(bytes, reader);
  std::vector<std::string> chunks;
  std::string_view chunk;
  while (ReadLineChunk(reader, chunk)) {
    chunks.emplace_back(chunk);
  }
  return chunks;
}

std::string WriteAll(const std::vector<std::string>& texts) {
  std::string target;
  TextWriter writer;
  AttachTextWriter(target, writer);
  for (const std::string& text : texts) {
    WriteText(writer, text);
  }
  EXPECT_TRUE(CloseTextWriter(writer));
  return target;
}

std::string Repeat(char c, std::size_t count) {
  return std::string(count, c);
}

struct ReadCase {
  std::string name;
  std::string bytes;
  std::vector<std::string> chunks;
  friend void PrintTo(const ReadCase& value, std::ostream* out) { *out << value.name; }
};

class ReadLineChunkTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadLineChunkTest, YieldsTheTranslatedChunks) {
  EXPECT_EQ(ReadChunks(GetParam().bytes), GetParam().chunks);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ReadLineChunkTest,
    ::testing::Values(ReadCase{"Empty", "", {}}, ReadCase{"CrLf", "a\r\nb\r\n", {"a\n", "b\n"}},
                      ReadCase{"LfOnly", "a\nb\n", {"a\n", "b\n"}},
                      ReadCase{"LastLineWithoutLineFeed", "a\r\nb", {"a\n", "b"}},
                      ReadCase{"LoneCrStays", "a\rb\r\n", {"a\rb\n"}},
                      ReadCase{"LoneCrAtTheEnd", "a\r", {"a\r"}},
                      ReadCase{"CrBeforeCrLf", "\r\r\n", {"\r\n"}},
                      ReadCase{"CtrlZEndsTheInput", "a\r\nb\x1a\r\nc\r\n", {"a\n", "b"}},
                      ReadCase{"CrBeforeCtrlZIsLone", "a\r\x1a\n", {"a\r"}},
                      ReadCase{"CtrlZFirst",
                               "\x1a"
                               "abc",
                               {}},
                      ReadCase{"NulBytesAreData",
                               std::string("a\0b\r\n\0", 6),
                               {std::string("a\0b\n", 4), std::string("\0", 1)}},
                      ReadCase{"LineOf1022FitsWithItsLineFeed",
                               Repeat('x', 1022) + "\r\n",
                               {Repeat('x', 1022) + "\n"}},
                      ReadCase{"LineOf1023LeavesALoneLineFeed",
                               Repeat('x', 1023) + "\r\ny",
                               {Repeat('x', 1023), "\n", "y"}},
                      ReadCase{"LongLineInPieces",
                               Repeat('x', 2500) + "\n",
                               {Repeat('x', 1023), Repeat('x', 1023), Repeat('x', 454) + "\n"}},
                      ReadCase{"CrLfCountsOneCharacter",
                               Repeat('x', 1021) + "\r\n\r\n",
                               {Repeat('x', 1021) + "\n", "\n"}}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

// Buffer refills must not change a thing: every CR LF pair split by a refill, at every offset
// near the buffer's edge, reads as the whole-string rules say.
TEST(ReadLineChunkAcrossRefills, MatchesTheRulesAtEveryBufferEdge) {
  for (std::size_t lead : {1u, 1000u, 131070u, 131071u, 131072u, 131073u, 262143u}) {
    for (const std::string tail : {"\r\nab\r\n", "\r\r\n", "\r", "\r\x1a", "\n\r\n"}) {
      std::string bytes;
      while (bytes.size() < lead) {
        bytes += std::string(lead - bytes.size() > 700 ? 700 : lead - bytes.size(), 'x') + "\r\n";
      }
      bytes.resize(lead);
      bytes += tail;
      ASSERT_EQ(ReadChunks(bytes),
                model::SplitIntoChunks(model::TranslateStoredBytes(bytes), kMaxChunkLength))
          << "lead " << lead;
    }
  }
}

struct WriteCase {
  std::string name;
  std::vector<std::string> texts;
  std::string bytes;
  friend void PrintTo(const WriteCase& value, std::ostream* out) { *out << value.name; }
};

class WriteTextTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteTextTest, WritesEveryLineFeedAsCrLf) {
  EXPECT_EQ(WriteAll(GetParam().texts), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, WriteTextTest,
    ::testing::Values(WriteCase{"Nothing", {}, ""}, WriteCase{"NoLineFeed", {"abc"}, "abc"},
                      WriteCase{"LineFeeds", {"a\n", "\n", "b\nc"}, "a\r\n\r\nb\r\nc"},
                      WriteCase{"CrBeforeLineFeedIsKept", {"a\r\n"}, "a\r\r\n"},
                      WriteCase{"LoneCr", {"a\rb"}, "a\rb"},
                      WriteCase{"NulBytes", {std::string("\0\n", 2)}, std::string("\0\r\n", 3)}),
    [](const ::testing::TestParamInfo<WriteCase>& info) { return info.param.name; });

TEST(WriteTextLarge, KeepsEveryByteAcrossBufferFlushes) {
  std::string text;
  for (int line = 0; text.size() < 600000; ++line) {
    text += std::string(static_cast<std::size_t>(line % 97), 'a' + line % 26) + "\n";
  }
  const std::string bytes = WriteAll({text});
  EXPECT_EQ(bytes.size(),
            text.size() + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
  EXPECT_EQ(ReadChunks(bytes), ReadChunks(text));
}

bool HoldsX(std::string_view chunk) {
  return chunk.find('X') != std::string_view::npos;
}

// Copying in bulk must write and count exactly what reading and writing chunk by chunk does,
// stop right after the first chunk holding an X, and leave the reader just after it.
TEST(CopyLineChunksUntil, MatchesChunkByChunkCopying) {
  const std::string longLine = Repeat('y', 2500);
  const std::vector<std::string> inputs = {
      "",
      "a\r\nb\r\nc",
      "a\nb\r\nX\r\nafter\r\nX again\n",
      "lone\rcr\r\r\nX\r\x1a"
      "X hidden",
      longLine + "\r\n" + longLine + "X\n" + longLine,
      Repeat('z', 1022) + "\r\n" + Repeat('z', 1023) + "\r\nX" + Repeat('w', 1030),
  };
  for (const std::string& input : inputs) {
    for (std::size_t bufferSize : {kMinimumTextBufferSize, std::size_t{1500}, kTextBufferSize}) {
      const std::vector<std::string> chunks =
          model::SplitIntoChunks(model::TranslateStoredBytes(input), kMaxChunkLength);
      std::size_t expectedCount = 0;
      bool expectedStop = false;
      std::string expectedText;
      while (expectedCount < chunks.size() && !expectedStop) {
        expectedText += chunks[expectedCount];
        expectedStop = HoldsX(chunks[expectedCount++]);
      }

      TextReader reader;
      AttachTextReader(input, reader, bufferSize);
      std::string written;
      TextWriter writer;
      AttachTextWriter(written, writer, bufferSize);
      bool stopped = false;
      const long long count = CopyLineChunksUntil(reader, writer, HoldsX, stopped);
      ASSERT_TRUE(CloseTextWriter(writer));
      EXPECT_EQ(count, static_cast<long long>(expectedCount)) << input.substr(0, 40);
      EXPECT_EQ(stopped, expectedStop);
      EXPECT_TRUE(written == model::StoreText(expectedText)) << input.substr(0, 40);
      std::vector<std::string> rest;
      std::string_view chunk;
      while (ReadLineChunk(reader, chunk)) {
        rest.emplace_back(chunk);
      }
      EXPECT_EQ(rest, std::vector<std::string>(chunks.begin() + static_cast<long>(expectedCount),
                                               chunks.end()));
    }
  }
}

#ifndef _WIN32
TEST(WriteTextFailure, IsReportedAtClose) {
  TextWriter writer;
  ASSERT_TRUE(OpenTextWriter("/dev/full", writer));
  WriteText(writer, "a line that the device cannot take\n");
  EXPECT_FALSE(CloseTextWriter(writer));
}
#endif

TEST(TextReaderFile, MissingFileDoesNotOpen) {
  TextReader reader;
  EXPECT_FALSE(OpenTextReader("no such folder/no such file.rc", reader));
}

}  // namespace
}  // namespace tablemend
