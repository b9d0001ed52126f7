// Reading text files as this program keeps them, the same on every platform: CR LF reads as a
// line feed alone, a lone CR stays, a Ctrl-Z (0x1A) ends the input for good, and the text comes
// in chunks of at most kMaxChunkLength characters, each ending at the first line feed. It works
// on whole buffers over binary I/O, so no system call is made per line, and no C library's text
// mode is involved.
//
// The reader copies the text to a writer as it goes: every chunk it yields is written unchanged
// unless the caller replaces it. Unchanged chunks are not copied one by one but as runs, straight
// from the read buffer, broken only where a line feed without a CR before it must gain one.
//
// A text is a sequence of code units: bytes for ANSI and UTF-8 text, 16-bit units for UTF-16
// text. The rules see whole code units only, so the bytes 0D 0A inside a UTF-16 character are no
// line end.
#ifndef TABLEMEND_TEXT_TEXT_READER_H
#define TABLEMEND_TEXT_TEXT_READER_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "text/text_buffer.h"
#include "text/text_format.h"
#include "text/text_writer.h"
#include "text/unit_search.h"

namespace tablemend {

// A text source: a file, or bytes in memory (for tests and fuzzing), read through one buffer.
template <typename Unit>
struct BasicTextReader {
  FileHandle file;
  std::string_view unreadMemory;  // the bytes not yet taken, when the source is memory
  bool fromMemory = false;
  bool swapBytes = false;  // UTF-16 stored in the byte order this machine does not use
  std::unique_ptr<Unit[]> buffer;
  std::size_t capacity = 0;
  std::size_t begin = 0;  // units read but not yet handed out, in buffer[begin, end)
  std::size_t end = 0;
  // A bit for every unit of buffer[0, end), set where it is a line feed: the whole buffer is
  // looked at once, when it is read, rather than once for each line.
  std::unique_ptr<std::uint64_t[]> lineFeeds;
  std::size_t copied = 0;         // buffer[copied, begin) is passed over, still to be written
  std::size_t lastChunk = 0;      // where the chunk last yielded starts
  bool lastEndsInBareLf = false;  // it ends in a line feed that is written as CR LF
  bool inputEnded = false;        // end of file, Ctrl-Z or a read error: nothing more comes
  bool readFailed = false;        // a read error, or a file ending inside a code unit
};

using TextReader = BasicTextReader<char>;

template <typename Unit>
bool OpenTextReader(const std::string& path, const TextFormat& format,
                    BasicTextReader<Unit>& reader);
// Reads from memory; a small buffer (for tests) makes every refill path run often.
template <typename Unit>
void AttachTextReader(std::string_view bytes, const TextFormat& format,
                      BasicTextReader<Unit>& reader, std::size_t bufferSize = kTextBufferSize);

// The stored units of a chunk are at most one more than its characters: a CR LF pair is one
// character. So the next chunk is decided by the next kChunkWindow units; fewer will do only at
// the end of the input.
constexpr std::size_t kChunkWindow = kMaxChunkLength + 1;

// The next chunk, for every case: one that ends otherwise than in CR LF, a refill, the end. False
// at the end of the input, once everything is written.
template <typename Unit>
bool NextStoredChunkSlowly(BasicTextReader<Unit>& reader, BasicTextWriter<Unit>& writer,
                           std::basic_string_view<Unit>& chunk);

// Passes over chunks, which go to the writer unchanged, while `passes(chunk)` holds, up to and
// including the first for which it does not; that one is yielded as by NextStoredChunk, so that
// it may be replaced. Returns how many chunks it took, the yielded one included; `stopped` is
// false when the input ended first. Lines that end in CR LF well inside the buffer, the common
// case, are taken straight from the line-feed marks, a word of them at a time.
template <typename Unit, typename Passes>
long long PassChunksWhile(BasicTextReader<Unit>& reader, BasicTextWriter<Unit>& writer,
                          Passes passes, std::basic_string_view<Unit>& chunk, bool& stopped) {
  long long count = 0;
  stopped = true;
  for (;;) {
    const Unit* base = reader.buffer.get();
    std::size_t begin = reader.begin;
    std::size_t word = begin / kUnitsPerMarkWord;
    std::uint64_t lineFeeds =
        reader.lineFeeds[word] & (~std::uint64_t{0} << begin % kUnitsPerMarkWord);
    while (!reader.lastEndsInBareLf && reader.end - begin >= kChunkWindow) {
      while (lineFeeds == 0 && ++word * kUnitsPerMarkWord < begin + kChunkWindow) {
        lineFeeds = reader.lineFeeds[word];
      }
      if (lineFeeds == 0) {
        break;  // no line feed within a chunk's reach: the general way below
      }
      const std::size_t lineFeed = word * kUnitsPerMarkWord + CountTrailingZeros(lineFeeds);
      if (lineFeed - begin >= kChunkWindow || lineFeed == begin || base[lineFeed - 1] != '\r') {
        break;  // a chunk that does not end in CR LF: the same
      }
      chunk = std::basic_string_view<Unit>(base + begin, lineFeed + 1 - begin);
      ++count;
      if (!passes(chunk)) {
        reader.lastChunk = begin;
        reader.begin = lineFeed + 1;
        return count;
      }
      begin = lineFeed + 1;
      lineFeeds &= lineFeeds - 1;
    }
    reader.begin = begin;
    if (!NextStoredChunkSlowly(reader, writer, chunk)) {
      stopped = false;
      return count;
    }
    ++count;
    if (!passes(chunk)) {
      return count;
    }
  }
}

// Yields the next chunk as stored, a final CR LF still two units, valid until the next call; the
// chunk before it goes to the writer unless it was replaced. False at the end of the input, once
// everything is written.
template <typename Unit>
inline bool NextStoredChunk(BasicTextReader<Unit>& reader, BasicTextWriter<Unit>& writer,
                            std::basic_string_view<Unit>& chunk) {
  bool yielded = false;
  PassChunksWhile(
      reader, writer, [](std::basic_string_view<Unit>) { return false; }, chunk, yielded);
  return yielded;
}

// Writes `line` (a line feed at most as its last unit) instead of the chunk last yielded, and
// returns that chunk as read, a final CR LF as one line feed, valid until the next call.
template <typename Unit>
std::basic_string_view<Unit> ReplaceLastChunk(BasicTextReader<Unit>& reader,
                                              BasicTextWriter<Unit>& writer,
                                              typename UnitsOf<Unit>::View line);

}  // namespace tablemend

#endif
