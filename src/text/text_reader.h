// Reading text files as this program keeps them, the same on every platform: CR LF reads as a
// line feed alone, a lone CR stays, a Ctrl-Z (0x1A) ends the input for good (what follows it is
// looked at, never taken: text there would be lost, blanks not), and the text comes
// in chunks of at most kMaxChunkLength characters, each ending at the first line feed. It works
// on whole buffers over binary I/O, so no system call is made per line, and no C library's text
// mode is involved. What becomes of a chunk is the pass-through's business (text_pass_through.h).
//
// A text is a sequence of code units: bytes for ANSI and UTF-8 text, 16-bit units for UTF-16
// text. The rules see whole code units only, so the bytes 0D 0A inside a UTF-16 character are no
// line end.
#ifndef TABLEMEND_TEXT_TEXT_READER_H
#define TABLEMEND_TEXT_TEXT_READER_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "text/text_buffer.h"
#include "text/text_format.h"
#include "text/unit_search.h"

namespace tablemend {

// A text source: a file, or bytes in memory (for tests and fuzzing), read through one buffer.
template <typename Unit>
struct BasicTextReader {
  FileHandle file;
  std::string_view unreadMemory;  // bytes not yet taken, read before the file if it has one
  bool swapBytes = false;         // UTF-16 stored in the byte order this machine does not use
  std::unique_ptr<Unit[]> buffer;
  std::size_t capacity = 0;
  std::size_t begin = 0;  // units read but not yet taken as chunks, in buffer[begin, end)
  std::size_t end = 0;
  // A bit for every unit of buffer[0, end), set where it is a line feed: the whole buffer is
  // looked at once, when it is read, rather than once for each line.
  std::unique_ptr<std::uint64_t[]> lineFeeds;
  // Where the search for the next line feed goes on: the marks of lineFeeds[markWord] at or
  // after `begin`, the line feeds already taken cleared, so that a line costs one bit's search.
  std::size_t markWord = 0;
  std::uint64_t marksAhead = 0;
  bool inputEnded = false;  // end of file, Ctrl-Z or a read error: nothing more comes
  bool readFailed = false;  // a read error, or a file ending inside a code unit
  // A Ctrl-Z ended the input with more than blanks, line ends and further Ctrl-Z after it, as
  // DOS editors padded their files: text that a conversion would drop.
  bool textAfterEndMark = false;
};

template <typename Unit>
bool OpenTextReader(const std::string& path, const TextFormat& format,
                    BasicTextReader<Unit>& reader);
// Reads a file that a format read began: the bytes it read, then the rest of the file.
template <typename Unit>
void AdoptTextReader(OpenedText& opened, const TextFormat& format, BasicTextReader<Unit>& reader);
// Reads from memory; a small buffer (for tests) makes every refill path run often.
template <typename Unit>
void AttachTextReader(std::string_view bytes, const TextFormat& format,
                      BasicTextReader<Unit>& reader, std::size_t bufferSize = kTextBufferSize);
// Closes the source; false when any read of it failed, or it ended inside a code unit: the text
// taken from it is then cut short.
template <typename Unit>
bool CloseTextReader(BasicTextReader<Unit>& reader);

// The stored units of a chunk are at most one more than its characters: a CR LF pair is one
// character. So the next chunk is decided by the next kChunkWindow units; fewer will do only at
// the end of the input.
constexpr std::size_t kChunkWindow = kMaxChunkLength + 1;

template <typename Unit>
inline bool ChunkWindowIsShort(const BasicTextReader<Unit>& reader) {
  return reader.end - reader.begin < kChunkWindow && !reader.inputEnded;
}

// Moves the units not yet taken to the front of the buffer and reads until a chunk's window
// waits after them, or the input ends. Units before `begin` are gone afterwards.
template <typename Unit>
void FillChunkWindow(BasicTextReader<Unit>& reader);

// How the chunk just taken ends.
enum class ChunkEnd {
  kCrLf,    // a line feed stored as CR LF
  kBareLf,  // a line feed with no CR before it, which is written as CR LF
  kNone,    // no line feed: a piece of a long line, or the last line
};

// Starts the search for line feeds afresh at `begin`, after it moved otherwise than to just past
// a line feed.
template <typename Unit>
inline void RestartLineFeedSearch(BasicTextReader<Unit>& reader) {
  reader.markWord = reader.begin / kUnitsPerMarkWord;
  reader.marksAhead =
      reader.lineFeeds[reader.markWord] & (~std::uint64_t{0} << reader.begin % kUnitsPerMarkWord);
}

// Takes the next chunk as stored, a final CR LF still two units, valid until the buffer is
// filled again. Needs a full window waiting, or the end of the input; false when nothing is left.
template <typename Unit>
inline bool TakeChunk(BasicTextReader<Unit>& reader, std::basic_string_view<Unit>& chunk,
                      ChunkEnd& ending) {
  const Unit* start = reader.buffer.get() + reader.begin;
  const std::size_t window = std::min(reader.end - reader.begin, kChunkWindow);
  if (window == 0) {
    return false;
  }
  std::size_t word = reader.markWord;
  std::uint64_t marks = reader.marksAhead;
  while (marks == 0 && (word + 1) * kUnitsPerMarkWord < reader.begin + window) {
    marks = reader.lineFeeds[++word];
  }
  const std::size_t lineEnd =
      marks == 0 ? window : word * kUnitsPerMarkWord + CountTrailingZeros(marks) - reader.begin;
  const bool crLf = lineEnd < window && lineEnd > 0 && start[lineEnd - 1] == '\r';
  if (crLf || (lineEnd < window && lineEnd < kMaxChunkLength)) {
    ending = crLf ? ChunkEnd::kCrLf : ChunkEnd::kBareLf;
    chunk = std::basic_string_view<Unit>(start, lineEnd + 1);
    reader.begin += lineEnd + 1;
    reader.markWord = word;
    reader.marksAhead = marks & (marks - 1);
    return true;
  }
  // No line end within reach: as many units as a chunk holds, or all that is left. A CR among
  // them is a lone one, as a CR LF pair would have ended the chunk above.
  ending = ChunkEnd::kNone;
  chunk = std::basic_string_view<Unit>(start, std::min(window, kMaxChunkLength));
  reader.begin += chunk.size();
  RestartLineFeedSearch(reader);
  return true;
}

}  // namespace tablemend

#endif
